#include "BarCodePageDlg.h"
#include "UI/gui/Accessible.h"

#include "ImageBarCodeDlg.h"
#include "PreviewPrintDlg.h"
#include "app/AppContext.h"
#include "app/UiText.h"
#include "barcode/BarcodeRequest.h"
#include "config/gui/FileChooser.h"
#include "config/SaveCfg.h"
#include "device/DeviceInfo.h"


namespace {

const char* const kEmptySheetTip = "ID_BARCODE_EMPTY_TIP";
const char* const kEmptySheetTipText = "请先生成条码";

}  // namespace

wxSizer* AddSlider(wxWindow* parent, wxStaticText*& label, wxSlider*& slider, int position)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    label = new wxStaticText(parent, wxID_ANY, wxEmptyString);
    slider = new wxSlider(parent, wxID_ANY, position, 0, 9, wxDefaultPosition, wxSize(120, -1));
    row->Add(label, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    row->Add(slider, 0, wxALIGN_CENTER_VERTICAL);
    return row;
}

CBarCodePageDlg::CBarCodePageDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
}

void CBarCodePageDlg::CreateLayout()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(CreateCommandRow(), 0, wxEXPAND | wxALL, 6);
    auto* middle = new wxBoxSizer(wxHORIZONTAL);
    auto* options = new wxBoxSizer(wxVERTICAL);
    CreateOptions(this, options);
    middle->Add(options, 0, wxEXPAND | wxRIGHT, 8);
    m_view = new CImageBarCodeDlg(this);
    SetAccessibleName(m_view, GetUiText("ID_NAME_BARCODE_PREVIEW", "Barcode preview"), EAccessibleRole::Picture);
    m_view->SetMinSize(wxSize(360, 360));
    middle->Add(m_view, 1, wxEXPAND);
    top->Add(middle, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);
    top->Add(CreateOutputRow(), 0, wxEXPAND | wxALL, 6);
    SetSizer(top);
    ApplySharedFont();
    // Laid out at its own size until its notebook gives it one: a page laid out at
    // no size squeezes its check boxes to nothing, which GTK complains about.
    SetSize(GetBestSize());
    ApplyUiTexts();
    UpdateOutputButtons();
}

wxSizer* CBarCodePageDlg::CreateCommandRow()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_txtInfo = new wxStaticText(this, wxID_ANY, wxEmptyString);
    column->Add(m_txtInfo, 0, wxBOTTOM, 4);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_cmbCommands = new wxComboBox(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                                   wxTE_PROCESS_ENTER);
    m_cmbCommands->Bind(wxEVT_TEXT_ENTER, &CBarCodePageDlg::OnCreate, this);
    m_btnCreate = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnCreate->Bind(wxEVT_BUTTON, &CBarCodePageDlg::OnCreate, this);
    row->Add(m_cmbCommands, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    row->Add(m_btnCreate, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(row, 0, wxEXPAND);
    return column;
}

wxSizer* CBarCodePageDlg::CreateOutputRow()
{
    auto* grid = new wxFlexGridSizer(2, 4, 6);
    grid->AddGrowableCol(1);
    m_txtTitle = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_edtTitle = new wxTextCtrl(this, wxID_ANY);
    m_txtComments = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_edtComments = new wxTextCtrl(this, wxID_ANY);
    grid->Add(m_txtTitle, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_edtTitle, 1, wxEXPAND);
    grid->Add(m_txtComments, 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_edtComments, 1, wxEXPAND);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_btnPrint = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnPdf = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnWord = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnPng = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnPrint->Bind(wxEVT_BUTTON, &CBarCodePageDlg::OnPrint, this);
    m_btnPdf->Bind(wxEVT_BUTTON, &CBarCodePageDlg::OnSavePdf, this);
    m_btnWord->Bind(wxEVT_BUTTON, &CBarCodePageDlg::OnSaveWord, this);
    m_btnPng->Bind(wxEVT_BUTTON, &CBarCodePageDlg::OnSavePng, this);
    for (wxButton* button : {m_btnPrint, m_btnPdf, m_btnWord, m_btnPng})
        buttons->Add(button, 0, wxRIGHT, 6);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND | wxBOTTOM, 6);
    column->Add(buttons, 0, wxALIGN_RIGHT);
    return column;
}

void CBarCodePageDlg::ApplyUiTexts()
{
    m_txtInfo->SetLabel(GetUiText(m_infoId, m_infoFallback));
    m_btnCreate->SetLabel(GetUiText(m_createLabelId, "生成"));
    m_txtTitle->SetLabel(GetUiText("ID_BARCODE1D_DLG_TITLE", "标题"));
    m_txtComments->SetLabel(GetUiText("ID_BARCODE1D_DLG_COMMENTS", "备注"));
    m_btnPrint->SetLabel(GetUiText("ID_UNDODLG_PRINT", "Print"));
    m_btnPdf->SetLabel(GetUiText("ID_BARCODE1D_DLG_SAVEPDF", "保存为PDF"));
    m_btnWord->SetLabel(GetUiText("ID_BARCODE1D_DLG_SAVEWORD", "保存为Word"));
    m_btnPng->SetLabel(GetUiText("ID_BARCODE1D_DLG_SAVEPNG", "保存为PNG"));
    ApplyOptionTexts();
    UpdateOutputButtons();
    Layout();
}

void CBarCodePageDlg::UpdateOutputButtons()
{
    // An empty sheet has nothing to print or save: the buttons wait for a build.
    const bool hasImages = m_view && !m_view->GetSheet().GetImages().empty();
    const wxString tip = hasImages ? wxString() : GetUiText(kEmptySheetTip, kEmptySheetTipText);
    for (wxButton* button : {m_btnPrint, m_btnPdf, m_btnWord, m_btnPng}) {
        button->Enable(hasImages);
        button->SetToolTip(tip);
    }
}

wxString CBarCodePageDlg::SetupCommand()
{
    return CSaveCfg::GetInstance().GetSetupCommand();
}

void CBarCodePageDlg::ShowSheet()
{
    TakeOptions();
    m_view->RefreshSheet();
    UpdateOutputButtons();
}

void CBarCodePageDlg::RememberText(const wxString& text)
{
    if (m_cmbCommands->FindString(text, true) == wxNOT_FOUND)
        m_cmbCommands->Append(text);
}

void CBarCodePageDlg::BuildFromHistoryList(bool printAtOnce)
{
    m_builtFromHistory = true;
    const EBuildResult result = Build(true, wxString());
    ShowSheet();
    if (printAtOnce && result == EBuildResult::Built && !m_view->GetSheet().GetImages().empty())
        OpenPrintPreview();
}

bool CBarCodePageDlg::AskToSplit(const CBarcodeSheetBuilder& builder) const
{
    const wxString text = wxString::Format(GetUiText("ID_BARCODE_TOO_LONG",
                                                     "这些设置共%u字节，一个条码放不下。是否分成%u个条码？"),
                                           static_cast<unsigned>(builder.GetPayloadBytes()),
                                           static_cast<unsigned>(builder.GetSplitCount()));
    return ShowMessage(text, wxYES_NO | wxICON_QUESTION) == wxYES;
}

EBuildResult CBarCodePageDlg::Build(bool fromHistory, const wxString& text)
{
    CBarcodeSheetBuilder builder(m_view->GetSheet(), SetupCommand());
    EBuildResult result = fromHistory ? BuildFromHistory(builder, false) : BuildFromText(builder, text, false);
    // Nothing is left out silently: the user chooses between several symbols and none.
    if (result == EBuildResult::TooLong && AskToSplit(builder))
        result = fromHistory ? BuildFromHistory(builder, true) : BuildFromText(builder, text, true);
    return result;
}

void CBarCodePageDlg::Create()
{
    if (m_builtFromHistory) {
        Build(true, wxString());
        ShowSheet();
        return;
    }
    const wxString text = m_cmbCommands->GetValue();
    switch (Build(false, text)) {
    case EBuildResult::Nothing:
    case EBuildResult::TooLong:
        return;
    case EBuildResult::Refused:
        ShowMessage(GetUiText("ID_ERROR_BARCODE2", "不支持生成FOBSET指令条码，请修改后再重新生成!"), wxOK | wxICON_ERROR);
        return;
    case EBuildResult::Failed:
        ShowMessage(GetUiText("ID_ERROR_BARCODE1", "生成条码出错，出错信息请用GetBCLastError()函数获取!"),
                    wxOK | wxICON_ERROR);
        break;
    case EBuildResult::Built:
        RememberText(text);
        break;
    }
    ShowSheet();
}

void CBarCodePageDlg::OnCreate(wxCommandEvent&)
{
    Create();
}

SSheetHeader CBarCodePageDlg::GetHeader() const
{
    const CDeviceInfo* model = CSaveCfg::GetInstance().GetCurrentModel();
    return {m_edtTitle->GetValue(), m_edtComments->GetValue(), model ? model->m_name : wxString()};
}

bool CBarCodePageDlg::ExportPdf(const wxString& path)
{
    wxString error;
    if (SaveSheetAsPdf(m_view->GetSheet(), HeaderLines(GetHeader(), SheetTime()), path, error))
        return true;
    ShowMessage(GetUiText("ID_ERROR_CREATEPDF", "无法生成PDF文件！") + "\n" + error, wxOK | wxICON_ERROR);
    return false;
}

bool CBarCodePageDlg::ExportWord(const wxString& path)
{
    wxString error;
    if (SaveSheetAsDocx(m_view->GetSheet(), HeaderLines(GetHeader(), SheetTime()), path, error))
        return true;
    ShowMessage(GetUiText("ID_ERROR_CREATEWORD", "无法生成Word文件！") + "\n" + error, wxOK | wxICON_ERROR);
    return false;
}

bool CBarCodePageDlg::ExportPng(const wxString& path)
{
    wxString error;
    if (SaveSheetAsPng(m_view->GetSheet(), HeaderLines(GetHeader(), SheetTime()), path, error))
        return true;
    ShowMessage(GetUiText("ID_ERROR_CREATEPNG", "无法生成PNG文件！") + "\n" + error, wxOK | wxICON_ERROR);
    return false;
}

wxString CBarCodePageDlg::AskSheetFile(const wxString& filter, const wxString& extension)
{
    SFileQuestion question;
    question.save = true;
    question.title = GetUiText("ID_CFGMAINDLG_SAVE", "保存");
    question.filter = filter;
    question.extension = extension;
    question.defaultName = ProposedNameForModel(extension);
    return ChooseFile(this, question);
}

void CBarCodePageDlg::OnSavePng(wxCommandEvent&)
{
    if (m_view->GetSheet().GetImages().empty())
        return;
    const wxString path = AskSheetFile("png (*.png)|*.png", "png");
    if (!path.empty())
        ExportPng(path);
}

void CBarCodePageDlg::OnSavePdf(wxCommandEvent&)
{
    if (m_view->GetSheet().GetImages().empty())
        return;
    const wxString path = AskSheetFile("pdf (*.pdf)|*.pdf", "pdf");
    if (!path.empty())
        ExportPdf(path);
}

void CBarCodePageDlg::OnSaveWord(wxCommandEvent&)
{
    if (m_view->GetSheet().GetImages().empty())
        return;
    const wxString path = AskSheetFile("docx (*.docx)|*.docx", "docx");
    if (!path.empty())
        ExportWord(path);
}

void CBarCodePageDlg::OpenPrintPreview()
{
    CPreviewPrintDlg preview(this, m_view->GetSheet(), GetHeader());
    preview.ShowModal();
}

void CBarCodePageDlg::OnPrint(wxCommandEvent&)
{
    if (!m_view->GetSheet().GetImages().empty())
        OpenPrintPreview();
}
