// The image windows: orientations, contrast, cutting, and the capture panel taking a
// picture from the simulated imager and turning a drawn region into decode-area settings.
#include "GuiTestSupport.h"

#include "app/AppSettings.h"
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineWait.h"
#include "image/gui/ImageDlg.h"
#include "image/gui/ImageEdit.h"
#include "image/gui/ImageManageDlg.h"
#include "image/gui/ImageShowDlg.h"
#include "image/gui/ImageView.h"
#include "shell/StallWatch.h"
#include "simulator/InProcessScanner.h"
#include "support/LinkFixture.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/ffile.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <tuple>

namespace {

// A 3 × 2 picture whose pixels are all different: red = x, green = y.
wxImage Marked()
{
    wxImage image(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.SetRGB(x, y, static_cast<unsigned char>(x), static_cast<unsigned char>(y), 9);
    return image;
}

bool SamePixels(const wxImage& a, const wxImage& b)
{
    return a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + 3 * a.GetWidth() * a.GetHeight(), b.GetData());
}

}  // namespace

TEST(ImageEdit, EightOrientationsPutTheFirstPixelInTheirCorner)
{
    const struct {
        int orientation;
        int width;
        int x, y;  // where the source's top-left pixel goes
    } cases[] = {{0, 3, 0, 0}, {1, 2, 1, 0}, {2, 3, 2, 1}, {3, 2, 0, 2},
                 {4, 3, 2, 0}, {5, 2, 0, 0}, {6, 3, 0, 1}, {7, 2, 1, 2}};
    for (const auto& c : cases) {
        const wxImage turned = OrientImage(Marked(), c.orientation);
        ASSERT_EQ(c.width, turned.GetWidth()) << c.orientation;
        EXPECT_EQ(0, turned.GetRed(c.x, c.y)) << c.orientation;
        EXPECT_EQ(0, turned.GetGreen(c.x, c.y)) << c.orientation;
    }
}

TEST(ImageEdit, CutMapsTheViewToThePictureAndRefusesWhatLeavesIt)
{
    const wxRect view(10, 20, 320, 240);  // a 640 × 480 picture drawn at half size
    wxRect picture;
    ASSERT_TRUE(ViewToPicture(wxRect(60, 70, 100, 50), view, wxSize(640, 480), picture));
    EXPECT_EQ(wxRect(100, 100, 200, 100), picture);
    EXPECT_EQ(wxRect(60, 70, 100, 50), PictureToView(picture, view, wxSize(640, 480)));
    EXPECT_FALSE(ViewToPicture(wxRect(5, 70, 100, 50), view, wxSize(640, 480), picture));
    EXPECT_FALSE(ViewToPicture(wxRect(300, 70, 100, 50), view, wxSize(640, 480), picture));
    EXPECT_FALSE(ViewToPicture(wxRect(60, 70, 0, 50), view, wxSize(640, 480), picture));
}

TEST(ImageManage, DefaultAfterRotationContrastAndCutGivesTheSourceBack)
{
    CMessageRecorder messages;
    wxImage source(64, 48);
    source.SetRGB(wxRect(0, 0, 64, 48), 200, 100, 30);
    CImageManageDlg dialog(nullptr, source, nullptr, 0);
    dialog.SetSize(800, 600);
    dialog.Layout();

    dialog.SetOrientation(1);
    EXPECT_EQ(wxSize(48, 64), dialog.GetWorking().GetSize());
    // The contrast starts from the source picture, whatever was done to it before.
    dialog.SetContrast(0);
    EXPECT_EQ(128, dialog.GetWorking().GetRed(5, 5));
    EXPECT_EQ(wxSize(64, 48), dialog.GetWorking().GetSize());
    dialog.SetContrast(100);
    EXPECT_TRUE(SamePixels(source, dialog.GetWorking()));
    dialog.SetOrientation(1);

    const wxRect shown = dialog.GetView()->GetPictureRect();
    EXPECT_FALSE(dialog.Cut(wxRect(shown.x - 5, shown.y, 20, 20)));
    EXPECT_EQ(1u, messages.Texts().size());
    ASSERT_TRUE(dialog.Cut(wxRect(shown.x, shown.y, shown.width / 2, shown.height / 2)));
    EXPECT_EQ(wxSize(24, 32), dialog.GetWorking().GetSize());

    dialog.RestoreSource();
    EXPECT_TRUE(SamePixels(source, dialog.GetWorking()));
    dialog.Destroy();
}

// The shipped Imaging page over the imager model it was written for.
class ImagePanelTest : public PageFixture {
protected:
    void SetUp() override
    {
        wxString model, pages;
        ASSERT_TRUE(wxFFile(VOSTREL_DATA_DIR "/Config/HI880.xml").ReadAll(&model, wxConvUTF8));
        ASSERT_TRUE(wxFFile(VOSTREL_DATA_DIR "/Config/pageinfo.xml").ReadAll(&pages, wxConvUTF8));
        LoadFiles(model.utf8_str(), pages.utf8_str());
        SSimScannerProfile profile;
        profile.baudRate = 921600;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_DATA_DIR "/Config/HI880.xml", profile, error);
        ASSERT_TRUE(scanner) << error;
        m_sim = std::make_unique<CInProcessScanner>(std::move(scanner));
        ASSERT_NE(nullptr, OpenTestDevice(m_sim->Start(), 921600, 2000));
        CSaveCfg::GetInstance().SetOnline(true);
    }
    // The panel of the Imaging page once the scanner has told it what it can capture;
    // null when that failed.
    CImageDlg* StartedPanel()
    {
        BuildPage("Imaging");
        auto* panel = dynamic_cast<CImageDlg*>(WidgetOf("IMGGET"));
        if (!panel || !panel->Start() || !RunUntil([panel] { return !panel->IsDiscovering(); }, 20))
            return nullptr;
        return panel;
    }

    // Destroyed after the fixture's tear-down has closed the link to it.
    std::unique_ptr<CInProcessScanner> m_sim;
};

TEST_F(ImagePanelTest, CapturedPictureJoinsTheStripAndADrawnRegionBecomesPendingDecodeArea)
{
    Setting("CADENA").SetValue("1");
    BuildPage("Imaging");
    auto* panel = dynamic_cast<CImageDlg*>(WidgetOf("IMGGET"));
    ASSERT_NE(nullptr, panel);
    m_frame->Show();
    ASSERT_TRUE(Setting("IMGGET").Control->OnPageShow());
    ASSERT_TRUE(RunUntil([panel] { return !panel->IsDiscovering(); }, 20));

    auto* get = dynamic_cast<wxButton*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("获取图像"), panel));
    ASSERT_TRUE(get && get->IsEnabled());
    EXPECT_EQ("", panel->GetSizeText()) << "no size before there is a picture";
    Press(get);
    ASSERT_TRUE(RunUntil([&] { return panel->GetImages().size() == 1 && get->IsEnabled(); }, 20));
    EXPECT_EQ(wxSize(640, 480), panel->GetImages()[0].picture.GetSize());
    EXPECT_EQ("640X480", panel->GetSizeText());
    EXPECT_EQ(14u, panel->GetImages()[0].name.length());

    // The current values put the region at 30 % .. 70 % (the model's defaults).
    CImageView* view = panel->GetView();
    wxRect region;
    ASSERT_TRUE(view->GetPictureSelection(region));
    EXPECT_NEAR(192, region.GetLeft(), 2);

    const wxRect shown = view->GetPictureRect();
    view->SetSelection(wxRect(shown.x + shown.width / 10, shown.y + shown.height / 5, shown.width / 2, shown.height / 2));
    ASSERT_TRUE(panel->UpdateDecodeArea());
    for (const auto& [name, percent] : {std::pair{"CADTOP", 20}, {"CADBOT", 70}, {"CADLEF", 10}, {"CADRIG", 60}}) {
        EXPECT_NEAR(percent, wxAtoi(Setting(name).Value), 1) << name;
        EXPECT_TRUE(IsPending(name)) << name;
    }
}

TEST_F(ImagePanelTest, AutoCaptureWithAnEmptyIntervalRunsBackToBackUntilCleared)
{
    CImageDlg* panel = StartedPanel();
    ASSERT_NE(nullptr, panel);
    auto* interval = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("ID_IMAGE_AUTOGET_INTERVAL", panel));
    auto* get = dynamic_cast<wxButton*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("获取图像"), panel));
    auto* autoGet = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("自动获取"), panel));
    ASSERT_TRUE(interval && get && autoGet);
    Pick(dynamic_cast<wxChoice*>(wxWindow::FindWindowByName("ID_IMAGE_RATIO", panel)), "1:16");
    interval->ChangeValue("");

    Tick(autoGet, true);
    EXPECT_FALSE(get->IsEnabled());
    ASSERT_TRUE(RunUntil([&] { return panel->GetImages().size() >= 3; }, 20));
    Tick(autoGet, false);
    ASSERT_TRUE(RunUntil([&] { return get->IsEnabled(); }, 20));
    EXPECT_EQ(wxSize(160, 120), panel->GetImages().back().picture.GetSize());

    // Leaving the page ends the loop too, and the box shows it.
    Tick(autoGet, true);
    Setting("IMGGET").Control->OnPageHide();
    ASSERT_TRUE(RunUntil([&] { return get->IsEnabled(); }, 20));
    EXPECT_FALSE(autoGet->IsChecked());
}

// A strip full of pictures never gives up one that is not saved: a new one takes the
// place of the oldest saved picture, and the panel counts the unsaved ones. Each
// picture is saved in the format it was taken in, whatever the menu says now.
TEST_F(ImagePanelTest, UnsavedPicturesStayInTheStripAndEachSavesInItsOwnFormat)
{
    BuildPage("Imaging");
    auto* panel = dynamic_cast<CImageDlg*>(WidgetOf("IMGGET"));
    ASSERT_NE(nullptr, panel);
    wxMemoryOutputStream stream;
    ASSERT_TRUE(wxImage(8, 6).SaveFile(stream, wxBITMAP_TYPE_BMP));
    SImageFile file;
    file.bytes.resize(stream.GetLength());
    stream.CopyTo(file.bytes.data(), file.bytes.size());

    const size_t full = CImageDlg::kMaxStripImages;
    ASSERT_TRUE(panel->AddCapturedFile(file, IMAGE_TYPE_REALTIME, IMAGE_FORMAT_JPEG));
    const wxString first = panel->GetImages().front().name;
    CTempDir dir;
    ASSERT_TRUE(panel->SaveSelected(dir.Path()));
    EXPECT_TRUE(wxFileExists(dir.File(first + ".jpg")));
    while (panel->GetImages().size() < full)
        ASSERT_TRUE(panel->AddCapturedFile(file, IMAGE_TYPE_REALTIME, IMAGE_FORMAT_BMP));
    EXPECT_EQ(first, panel->GetImages().front().name);
    ASSERT_TRUE(panel->AddCapturedFile(file, IMAGE_TYPE_REALTIME, IMAGE_FORMAT_TIFF));
    ASSERT_EQ(full, panel->GetImages().size()) << "the saved picture made room";
    EXPECT_NE(first, panel->GetImages().front().name);
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(panel->AddCapturedFile(file, IMAGE_TYPE_REALTIME, IMAGE_FORMAT_TIFF));
    EXPECT_EQ(full + 8, panel->GetImages().size()) << "unsaved pictures are all kept";
    EXPECT_TRUE(panel->GetUnsavedText().Contains(wxString::Format("%zu", full + 8))) << panel->GetUnsavedText();
    ASSERT_TRUE(panel->SaveSelected(dir.Path()));
    EXPECT_TRUE(wxFileExists(dir.File(panel->GetImages().back().name + ".tiff")));
}

// A write that needs the scanner while pictures are taken asks the capture to stop:
// the picture on its way is finished and kept, and the panel says why it stopped.
TEST_F(ImagePanelTest, AnotherPartNeedingTheLineEndsAutoCaptureAfterThePictureOnItsWay)
{
    CImageDlg* panel = StartedPanel();
    ASSERT_NE(nullptr, panel);
    auto* get = dynamic_cast<wxButton*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("获取图像"), panel));
    auto* autoGet = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("自动获取"), panel));
    ASSERT_TRUE(get && autoGet);
    Tick(autoGet, true);
    CLineOwner& line = CHBDataStreamMnt::GetInstance().Line();
    ASSERT_TRUE(RunUntil([&] { return line.IsHeldElsewhere() && line.AskHolderToStop(); }, 20));
    const size_t asked = panel->GetImages().size();
    ASSERT_TRUE(RunUntil([&] { return get->IsEnabled(); }, 20));
    EXPECT_GT(panel->GetImages().size(), asked) << "the picture on its way joins the strip";
    EXPECT_FALSE(autoGet->IsChecked());
    EXPECT_FALSE(panel->GetCaptureNote().empty());
}

// A picture stopped on its way is drained on the line's thread: the windows answer
// meanwhile, a write asks no question about a capture that has stopped, and waits
// for the drain in its turn.
TEST_F(ImagePanelTest, AStoppedPictureDrainsWhileTheWindowsAnswer)
{
    CImageDlg* panel = StartedPanel();
    ASSERT_NE(nullptr, panel);
    auto* get = dynamic_cast<wxButton*>(wxWindow::FindWindowByLabel(wxString::FromUTF8("获取图像"), panel));
    ASSERT_TRUE(get);
    CLineOwner& line = CHBDataStreamMnt::GetInstance().Line();
    CStallWatch watch;
    Press(get);
    ASSERT_TRUE(RunUntil([&] { return line.IsHeldElsewhere(); }, 10));
    panel->StopCapture();
    EXPECT_TRUE(MakeWayForLine(line, "write to the scanner"));
    EXPECT_TRUE(m_messages.Texts().empty()) << "no question about a capture that has stopped";
    std::atomic<bool> wrote{false};
    CHBDataStreamMnt::GetInstance().Jobs().Queue(LineUsers::kWrite, [&wrote](CLineJob&) { return wrote = true; });
    ASSERT_TRUE(RunUntil([&] { return wrote && get->IsEnabled(); }, 30));
    EXPECT_LT(watch.LongestMs(), 250) << watch.LongestWhat();
}

TEST(ImageView, ArrowKeysInTheRegisteredWindowNudgeItsSelection)
{
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "view", wxDefaultPosition, wxSize(400, 300));
    auto* view = new CImageView(frame);
    view->SetImage(wxImage(40, 30));
    view->EnableSelection(true);
    view->SetSelection(wxRect(10, 10, 20, 20));
    view->RegisterForArrowKeys();
    frame->Show();
    const struct {
        int key;
        bool shift;
        wxRect after;
    } steps[] = {{WXK_RIGHT, false, wxRect(11, 10, 20, 20)}, {WXK_UP, true, wxRect(11, 10, 20, 19)},
                 {'x', false, wxRect(11, 10, 20, 19)}};
    for (const auto& step : steps) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = step.key;
        event.m_shiftDown = step.shift;
        event.SetEventObject(view);
        view->ProcessWindowEvent(event);
        EXPECT_EQ(step.after, view->GetSelection()) << step.key;
    }
    frame->Destroy();
}

TEST(ImageEdit, CapturedPicturesSaveWithTheFormatsExtensionAndABmpKeepsItsImageSize)
{
    CTempDir dir;
    wxImage picture(30, 20);  // rows of 30 bytes are padded to 32 in an 8-bit BMP
    const wxString folder = dir.Path() + "/AutoSave";
    const struct {
        int format;
        const char* extension;
    } cases[] = {{0, ".bmp"}, {1, ".bmp"}, {2, ".jpg"}, {3, ".tiff"}};
    for (const auto& c : cases) {
        const wxString path = SaveCapturedImage(picture, folder, wxString::Format("shot%d", c.format), c.format);
        ASSERT_TRUE(path.EndsWith(c.extension)) << path;
        wxImage back;
        wxLogNull quiet;  // the TIFF reader warns of tags it skips
        EXPECT_TRUE(back.LoadFile(path)) << path;
        EXPECT_EQ(wxSize(30, 20), back.GetSize());
    }
    wxFFile bmp(folder + "/shot1.bmp", "rb");
    unsigned char header[38] = {};
    ASSERT_EQ(sizeof header, bmp.Read(header, sizeof header));
    EXPECT_EQ(bmp.Length() - 1078, header[34] | header[35] << 8 | header[36] << 16 | header[37] << 24);
    EXPECT_EQ(8, header[28]);
    EXPECT_TRUE(SaveCapturedImage(picture, folder + "/shot1.bmp", "inside-a-file", 1).empty());
}

TEST(ImageShow, ViewerOpensWhereItWasKeptAndKeepsWhereItWasLeft)
{
    const wxRect screen = wxDisplay(0u).GetGeometry();
    const struct {
        wxRect kept;
        bool opensThere;  // otherwise centred
        wxSize opensWith;
    } cases[] = {
        {wxRect(120, 90, 500, 400), true, wxSize(500, 400)},
        {wxRect(0, 0, 0, 0), false, wxSize(CImageShowDlg::kDefaultWidth, CImageShowDlg::kDefaultHeight)},
        {wxRect(screen.GetRight() + 500, -3000, 450, 350), false, wxSize(450, 350)},
    };
    SAppSettings& kept = CAppSettings::GetInstance().Values();
    const wxRect left(150, 70, 520, 410);
    for (const auto& c : cases) {
        std::tie(kept.imageX, kept.imageY, kept.imageWidth, kept.imageHeight) =
            std::make_tuple(c.kept.x, c.kept.y, c.kept.width, c.kept.height);
        {
            CImageShowDlg viewer(nullptr, Marked());
            viewer.Show();
            const wxRect opened = viewer.GetRect();
            EXPECT_EQ(c.opensWith, opened.GetSize()) << c.kept.x;
            const wxPoint middle = opened.GetPosition() + wxPoint(opened.width / 2, opened.height / 2);
            EXPECT_TRUE(c.opensThere ? opened.GetPosition() == c.kept.GetPosition() : screen.Contains(middle))
                << c.kept.x;
            viewer.SetSize(left);
        }
        EXPECT_EQ(left, wxRect(kept.imageX, kept.imageY, kept.imageWidth, kept.imageHeight)) << c.kept.x;
    }
    CAppSettings::ResetInstance();
}
