// The settings-barcode panel of the configuration page, fed from the history or typed text.
#include "app/LanguageXmlInfo.h"
#include "app/UiText.h"
#include "barcode/BarcodeRender.h"
#include "barcode/BarcodeRequest.h"
#include "barcode/gui/BarCode1DDlg.h"
#include "barcode/gui/BarCode2DDlg.h"
#include "barcode/gui/BarCodeDlg.h"
#include "barcode/gui/BarCodeDMDlg.h"
#include "barcode/gui/ImageBarCodeDlg.h"
#include "barcode/gui/PreviewPrintDlg.h"
#include "barcode/SheetOutput.h"
#include "config/gui/UndoDlg.h"
#include "pages/CfgMainDlg.h"
#include "regCtrl/object/CreateBarCodeControl.h"

#include "GuiTestSupport.h"
#include "barcode/DecodeSupport.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include <cstdlib>
#include <cstring>

namespace {

class BarcodePanelTest : public ShippedPageFixture {
protected:
    // The first barcode setting, or the first one with its panel built.
    static CCmdNameXmlInfo* BarcodeSetting(bool built)
    {
        CCmdNameXmlInfo* found = nullptr;
        CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) {
            if (!found && definition.ControlType == "CREATEBARCODE" && (definition.Control || !built))
                found = &definition;
        });
        return found;
    }
    static CBarCodeDlg* Panel()
    {
        CCmdNameXmlInfo* found = BarcodeSetting(true);
        auto* control = found ? dynamic_cast<CCreateBarCodeControl*>(found->Control) : nullptr;
        return control ? control->GetPanel() : nullptr;
    }
    static std::vector<wxString> PayloadsOf(const CBarcodeSheet& sheet)
    {
        std::vector<wxString> payloads;
        for (const SSheetImage& image : sheet.GetImages())
            payloads.push_back(image.payload);
        return payloads;
    }
    // The barcode panel of `model`'s page, opened offline at its first barcode setting.
    CBarCodeDlg* ShowPanel(const char* model)
    {
        UseModel(model);
        CCfgMainDlg* page = OpenPage(false);
        CCmdNameXmlInfo* setting = BarcodeSetting(false);
        if (!setting)
            return nullptr;
        page->ShowSetting(setting);
        wxYield();
        return Panel();
    }
};

TEST_F(BarcodePanelTest, FiveOfflineChangesBecomeASheetThatGoesToPdfAndWordAndDecodes)
{
    UseModel("HBS-HS620");
    CCfgMainDlg* page = OpenPage(false);
    const struct {
        const char* command;
        const char* value;
    } changes[] = {{"BEPLVL", "1"}, {"232BAD", "4"}, {"KBWCTY", "2"}, {"SCNMOD", "2"}, {"BEPENA", "0"}};
    std::vector<wxString> expected = {"@SETUPE1"};
    for (const auto& change : changes) {
        CCmdNameXmlInfo* setting = CPageMntXmlInfo::GetInstance().FindCommand(change.command);
        ASSERT_NE(nullptr, setting) << change.command;
        ASSERT_NE(change.value, setting->Value) << change.command;
        // As a control reports a choice: the value with its label.
        const wxString label = setting->GetValueLabel(change.value);
        setting->SetValue(change.value, &label);
        expected.push_back(wxString("@") + change.command + change.value);
    }
    expected.push_back("@SETUPE0");
    ASSERT_EQ(5u, CPendingChangeList::GetInstance().GetEntries().size());

    Press(page->GetHistory()->GetGenerateButton());
    wxYield();
    CBarCodeDlg* panel = Panel();
    ASSERT_NE(nullptr, panel);
    EXPECT_TRUE(panel->IsShownOnScreen());
    EXPECT_EQ(CBarCodeDlg::TAB_1D, panel->GetNotebook()->GetSelection());
    CBarCode1DDlg* linear = panel->Get1DPage();
    const CBarcodeSheet& sheet = linear->GetSheetView()->GetSheet();
    ASSERT_EQ(expected, PayloadsOf(sheet)) << "the pending changes, between entering and leaving setup";
    const CCmdNameXmlInfo* volume = CPageMntXmlInfo::GetInstance().FindCommand("BEPLVL");
    EXPECT_EQ(volume->GetFriendlyText() + volume->GetValueLabel("1"), sheet.GetCaptions()[1]);
    EXPECT_FALSE(CBarcodeRequest::GetInstance().IsBuildFromHistory());
    EXPECT_TRUE(linear->GetPdfButton()->IsEnabled());
    Tick(linear->GetCaptionBox(), true);
    EXPECT_TRUE(linear->GetCaptionAboveBox()->IsEnabled());

    linear->GetTitleBox()->SetValue("Lobby scanners");
    const std::string pdf = std::string(m_dir.File("sheet.pdf").utf8_str());
    ASSERT_TRUE(linear->ExportPdf(pdf));
    ASSERT_TRUE(linear->ExportWord(m_dir.File("sheet.docx")));
    EXPECT_TRUE(m_messages.Texts().empty());
    // That the pages' barcodes decode is the sheet output's own test; the window gives it its header.
    const std::string text = RunCommand("pdftotext " + pdf + " - 2>/dev/null");
    EXPECT_NE(std::string::npos, text.find("Title: Lobby scanners"));
    EXPECT_NE(std::string::npos, text.find("Product: HBS-HS620"));
    const std::string shapes = RunCommand("/usr/bin/python3 -c \"import docx,sys; "
                                          "print(len(docx.Document(sys.argv[1]).inline_shapes))\" " +
                                          std::string(m_dir.File("sheet.docx").utf8_str()));
    EXPECT_EQ("7\n", shapes);
}

TEST_F(BarcodePanelTest, TypedTextIsRememberedARefusedTextChangesNothingAndEachPageHasItsOptions)
{
    CBarCodeDlg* panel = ShowPanel("HBS-FM450");
    ASSERT_NE(nullptr, panel);
    CBarCode1DDlg* linear = panel->Get1DPage();
    EXPECT_FALSE(linear->GetPrintButton()->IsEnabled()) << "nothing to print yet";
    EXPECT_FALSE(linear->GetCaptionAboveBox()->IsEnabled());

    linear->GetCommandBox()->SetValue("232BAD1;ABCDEF");
    linear->Create();
    linear->Create();
    // This model enters and leaves setup with SETUPN.
    EXPECT_EQ((std::vector<wxString>{"@SETUPN1", "@232BAD1", "@ABCDEF", "@SETUPN0"}),
              PayloadsOf(linear->GetSheetView()->GetSheet()));

    // On a screen of twice the density the preview draws a symbol from its shapes with
    // twice the pixels, still readable, instead of stretching the picture.
    const CBarcodeSheet& sheet = linear->GetSheetView()->GetSheet();
    const wxBitmap sharp = SheetImageBitmap(sheet.GetImages()[1], sheet.DrawnWidth(), sheet.DrawnHeight(), 2.0);
    EXPECT_EQ(2.0, sharp.GetScaleFactor());
    const wxImage pixels = sharp.ConvertToImage();
    EXPECT_EQ(2 * sheet.DrawnWidth(), pixels.GetWidth());
    const wxString dense = m_dir.File("dense.png");
    ASSERT_TRUE(pixels.SaveFile(dense, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(std::vector<std::string>{"@232BAD1"}, DecodeFile(std::string(dense.utf8_str()), EDecoder::Zbar));
    EXPECT_EQ(1u, linear->GetCommandBox()->GetCount());
    EXPECT_TRUE(linear->GetWordButton()->IsEnabled());

    linear->GetCommandBox()->SetValue("FOBSET1");
    linear->Create();
    EXPECT_EQ(std::vector<wxString>{GetUiText("ID_ERROR_BARCODE2", "")}, m_messages.Texts());
    EXPECT_EQ(4u, linear->GetSheetView()->GetSheet().GetImages().size());

    linear->GetIntervalSlider()->SetValue(0);
    Send(linear->GetIntervalSlider(), wxEVT_SLIDER);
    EXPECT_EQ(30, linear->GetSheetView()->GetSheet().interval);
    CBarCode2DDlg* batch = panel->Get2DPage();
    EXPECT_EQ(SYMBOLOGY_DATAMATRIX, batch->GetSymbology());
    EXPECT_TRUE(batch->GetSheetView()->GetSheet().framed);
    EXPECT_FALSE(panel->GetDMPage()->GetSheetView()->GetSheet().framed);
    batch->GetCommandBox()->SetValue("#232BAD1");
    batch->Create();
    ASSERT_EQ(1u, batch->GetSheetView()->GetSheet().GetImages().size());
    EXPECT_EQ("#232BAD1;", batch->GetSheetView()->GetToolTipText());
    EXPECT_EQ(128, batch->GetSheetView()->GetSheet().DrawnWidth());

    // Too many settings for one symbol: the user is asked, a no keeps the sheet, a yes
    // makes as many symbols as they need, on the batch and the all-in-one page alike.
    wxString clone;
    for (int i = 0; i < 330; ++i)
        clone += wxString::Format("BEP%03d%d;", i, i % 10);
    for (CBarCodePageDlg* big : {static_cast<CBarCodePageDlg*>(batch), static_cast<CBarCodePageDlg*>(panel->GetDMPage())}) {
        const size_t asked = m_messages.Texts().size();
        const std::vector<SSheetImage> before = big->GetSheetView()->GetSheet().GetImages();
        big->GetCommandBox()->SetValue(clone);
        m_messages.Answer(wxNO);
        big->Create();
        ASSERT_EQ(asked + 1, m_messages.Texts().size());
        EXPECT_TRUE(m_messages.Texts().back().Contains(wxString::Format("%zu", clone.length() + 1)));
        EXPECT_EQ(before.size(), big->GetSheetView()->GetSheet().GetImages().size());
        m_messages.Answer(wxYES);
        big->Create();
        EXPECT_EQ(2u, big->GetSheetView()->GetSheet().GetImages().size());
    }

    // The preview of a sheet: zoom out from actual size stays at actual size.
    CPreviewPrintDlg preview(m_frame, linear->GetSheetView()->GetSheet(), linear->GetHeader());
    CPrintPreviewZoomView* view = preview.GetView();
    view->ZoomIn();
    EXPECT_DOUBLE_EQ(2.0, view->GetZoom());
    view->ZoomOut();
    view->ZoomOut();
    EXPECT_DOUBLE_EQ(1.0, view->GetZoom());
    view->ZoomIn();
    view->ZoomActual();
    EXPECT_DOUBLE_EQ(1.0, view->GetZoom());
}

TEST_F(BarcodePanelTest, ThePrintPreviewShowsThePageTheCommandLineToolWrites)
{
    // One language and one date for the window and the tool.
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    ASSERT_TRUE(languages.LoadLanguageTexts("CN"));
    setenv("SOURCE_DATE_EPOCH", "1796083200", 1);
    CBarCodeDlg* panel = ShowPanel("HBS-HI880");
    ASSERT_NE(nullptr, panel);
    CBarCode1DDlg* linear = panel->Get1DPage();
    for (wxSlider* slider : {linear->GetHorizontalSlider(), linear->GetVerticalSlider(), linear->GetIntervalSlider()}) {
        slider->SetValue(0);
        Send(slider, wxEVT_SLIDER);
    }
    Tick(linear->GetCaptionBox(), true);
    linear->GetCommandBox()->SetValue("232BAD1;BEPLVL2");
    linear->Create();
    linear->GetTitleBox()->SetValue(GetUiText("ID_BARCODE_SHEET_CLI_TITLE", "Settings barcodes"));
    linear->GetCommentsBox()->SetValue("232BAD1;BEPLVL2");
    CPreviewPrintDlg preview(m_frame, linear->GetSheetView()->GetSheet(), linear->GetHeader());
    const wxImage shown = preview.GetView()->PagePicture(0, kPngDotsPerInch / 72.0);

    const wxString cli = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() + "/vostrel-cli";
    const wxString png = m_dir.File("cli.png");
    RunCommand(std::string(wxString::Format("'%s' --lang CN barcode --kind 1d --model HBS-HI880 "
                                            "--commands '232BAD1;BEPLVL2' --output '%s'", cli, png).utf8_str()));
    // The window's own PNG export is the same page again.
    ASSERT_TRUE(linear->ExportPng(m_dir.File("window.png")));
    unsetenv("SOURCE_DATE_EPOCH");
    const wxImage exported(m_dir.File("window.png"), wxBITMAP_TYPE_PNG);
    const wxImage written(png, wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(written.IsOk() && shown.IsOk() && exported.IsOk());
    ASSERT_EQ(written.GetSize(), shown.GetSize());
    ASSERT_EQ(written.GetSize(), exported.GetSize());
    const size_t bytes = static_cast<size_t>(shown.GetWidth()) * shown.GetHeight() * 3;
    EXPECT_EQ(0, std::memcmp(written.GetData(), shown.GetData(), bytes));
    EXPECT_EQ(0, std::memcmp(written.GetData(), exported.GetData(), bytes));
}

}  // namespace
