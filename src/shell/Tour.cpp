#include "Tour.h"

#include "LayoutCheck.h"
#include "StallWatch.h"

#include "VostrelDlg.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "barcode/BarcodeSheetBuilder.h"
#include "barcode/gui/PreviewPrintDlg.h"
#include "dataformat/gui/DataFormatterDlg.h"
#include "device/gui/DeviceBatchUpgradeDlg.h"
#include "device/gui/DeviceUpgradeDlg.h"
#include "image/gui/ImageManageDlg.h"
#include "image/gui/ImageShowDlg.h"
#include "model/TabNodeXmlInfo.h"
#include "pages/CfgMainDlg.h"
#include "pages/CfgTitleDlg.h"
#include "pages/TabCreate.h"
#include "UI/gui/HelpViewFrame.h"

#include <wx/app.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <memory>

namespace {

// A page that was just made is laid out and painted by the events that follow its
// showing. The picture waits at least a few of GTK's frames, then until no event is
// left to handle; a page with something always moving is taken at the limit.
constexpr int kDrawMs = 250;
constexpr int kDrawCheckMs = 50;
constexpr long kDrawLimitMs = 2000;

// The program that takes a picture; tells the walk when it has ended.
class CCamera : public wxProcess {
public:
    explicit CCamera(CTour* tour) : m_tour(tour) {}

    void OnTerminate(int, int status) override
    {
        if (CTour* tour = m_tour)
            tour->CallAfter([tour, status] { tour->OnPictureTaken(status); });
        delete this;  // wx leaves an ended process object to its owner
    }

private:
    wxWeakRef<CTour> m_tour;
};

// A picture with something to see in it: bands of grey and a frame.
wxImage SamplePicture()
{
    wxImage picture(640, 480);
    for (int y = 0; y < picture.GetHeight(); ++y) {
        for (int x = 0; x < picture.GetWidth(); ++x) {
            const bool edge = x < 8 || y < 8 || x >= picture.GetWidth() - 8 || y >= picture.GetHeight() - 8;
            const auto grey = static_cast<unsigned char>(edge ? 0 : 64 + (x / 40) * 12);
            picture.SetRGB(x, y, grey, grey, grey);
        }
    }
    return picture;
}

// The modal dialog on screen, if there is one.
wxDialog* ShownModalDialog()
{
    for (wxWindow* top : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(top);
        if (dialog && dialog->IsModal())
            return dialog;
    }
    return nullptr;
}

wxString SafeName(const wxString& text)
{
    wxString name;
    for (const wxUniChar c : text)
        name += wxIsalnum(c) ? wxString(c) : wxString("_");
    return name;
}

}  // namespace

CTour::CTour(CVostrelDlg& window, const wxString& folder) : m_window(&window), m_folder(folder), m_drawTimer(this)
{
    Bind(wxEVT_TIMER, &CTour::OnDrawn, this);
}

wxString CTour::ShotCommand(const wxString& path)
{
    wxString command;
    if (!wxGetEnv("VOSTREL_TOUR_SHOT", &command) || command.empty())
        command = "import -window root %s";
    command.Replace("%s", "'" + path + "'");
    return command;
}

void CTour::Start()
{
    wxFileName::Mkdir(m_folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    CVostrelDlg* window = m_window;
    // The settings pages first: the lists and the command page may end the connection.
    PlanSettingsPages();
    m_steps.push_back({"search", [window] { window->SelectItem(CVostrelDlg::ITEM_SEARCH); }, [window] { window->HideSettingSearch(); }});
    PlanDialogs();
    m_steps.push_back({"home", [window] { window->SelectItem(CVostrelDlg::ITEM_HOME); }, {}});
    m_steps.push_back({"scanners", [window] { window->SelectItem(CVostrelDlg::ITEM_ONLINE); }, {}});
    m_steps.push_back({"models", [window] { window->SelectItem(CVostrelDlg::ITEM_OFFLINE); }, {}});
    m_steps.push_back({"command", [window] { window->SelectItem(CVostrelDlg::ITEM_COMMAND); }, {}});
    ShowNext();
}

void CTour::PlanSettingsPages()
{
    CCfgMainDlg* page = m_window->GetConfigPage();
    if (!page || !page->GetSettingsArea()->GetTabRoot()) {
        VLOG(LOG_INFO, "tour: no settings page to walk (not connected)");
        return;
    }
    AddLeaves(page->GetSettingsArea()->GetTabRoot());
}

// Dialogs are shown without their own event loop so the walk goes on; each goes
// once its picture is taken.
void CTour::PlanDialogs()
{
    CVostrelDlg* window = m_window;
    auto editor = std::make_shared<wxWeakRef<wxDialog>>();
    const auto closeEditor = [editor] {
        if (*editor)
            (*editor)->Destroy();
    };
    // Without a pad, with the key pad, and with the ASCII pad and a string rule's fields.
    const struct {
        const char* name;
        int pad;
        const char* kind;
    } editors[] = {{"dataformat-editor", 0, ""}, {"dataformat-editor-keypad", 2, ""}, {"dataformat-editor-string", 1, "B9"}};
    for (const auto& shown : editors) {
        m_steps.push_back({shown.name,
                           [window, editor, shown] {
                               auto* dialog = new CDataFormatterDlg(window, "F82DF501F10DB3", 0, {"EAN-13", "Code 128"});
                               dialog->ShowPad(shown.pad);
                               if (*shown.kind)
                                   dialog->ChooseRuleKind(shown.kind);
                               dialog->Show();
                               *editor = dialog;
                           },
                           closeEditor});
    }
    AddWindowStep("batch-upgrade", [window] { return new CDeviceBatchUpgradeDlg(window); });
    AddWindowStep("firmware-upgrade", [window] { return new CDeviceUpgradeDlg(window, "HBS-HI880"); });
    AddWindowStep("picture-editor", [window] { return new CImageManageDlg(window, SamplePicture(), nullptr, 0); });
    AddWindowStep("picture-viewer", [window] { return new CImageShowDlg(window, SamplePicture()); });
    auto sheet = std::make_shared<CBarcodeSheet>();
    CBarcodeSheetBuilder(*sheet, "").BuildLinearFromText("232BAD5\n0305010", SLinearOptions{});
    AddWindowStep("print-preview", [window, sheet] {
        return new CPreviewPrintDlg(window, *sheet, SSheetHeader{"Vostrel", "", "HBS-HI880"});
    });
    AddWindowStep("help", [window]() -> wxTopLevelWindow* {
        if (!CHelpViewFrame::Open(window, CAppContext::GetInstance().GetHelpDocument()))
            return nullptr;
        for (wxWindow* top : wxTopLevelWindows) {
            if (auto* frame = dynamic_cast<CHelpViewFrame*>(top))
                return frame;
        }
        return nullptr;
    });
    // The message box is modal: it runs its own loop, in which the walk goes on
    // and which its end closes.
    m_steps.push_back({"message-box",
                       [window] {
                           window->CallAfter([] {
                               ShowMessage(GetUiText("ID_ERROR_EXIT", "Settings have changed. Save them to the scanner?"),
                                           wxYES_NO | wxCANCEL | wxICON_QUESTION);
                           });
                       },
                       [] {
                           if (wxDialog* dialog = ShownModalDialog())
                               dialog->EndModal(wxID_CANCEL);
                       }});
}

void CTour::AddWindowStep(const wxString& name, std::function<wxTopLevelWindow*()> make)
{
    auto shown = std::make_shared<wxWeakRef<wxTopLevelWindow>>();
    m_steps.push_back({name,
                       [make, shown] {
                           if (wxTopLevelWindow* top = make()) {
                               top->Show();
                               *shown = top;
                           }
                       },
                       [shown] {
                           if (*shown)
                               (*shown)->Destroy();
                       }});
}

void CTour::AddLeaves(CTabNodeXmlInfo* node)
{
    if (CTabCreate::IsLeaf(node)) {
        CVostrelDlg* window = m_window;
        m_steps.push_back({"settings-" + SafeName(node->name), [window, node] {
                               window->SelectItem(window->GetMode() == CVostrelDlg::MODE_CONFIG_OFFLINE
                                                      ? CVostrelDlg::ITEM_CONFIG_OFFLINE
                                                      : CVostrelDlg::ITEM_CONFIG_ONLINE);
                               if (CCfgMainDlg* page = window->GetConfigPage())
                                   page->GetSettingsArea()->GetTabs()->Select(node);
                           },
                           {}});
        return;
    }
    for (const auto& child : node->GetChildren())
        AddLeaves(child.get());
}

void CTour::ShowNext()
{
    if (!m_window)
        return;
    if (m_next >= m_steps.size()) {
        VLOG(LOG_INFO, "tour: done, %zu pictures", m_steps.size());
        m_window->Close();
        return;
    }
    CStallWatch::SetActivity(wxString::Format("tour step %02zu-%s", m_next + 1, m_steps[m_next].name));
    m_steps[m_next].show();
    m_drawWatch.Start();
    m_drawTimer.StartOnce(kDrawMs);
}

// The picture is taken by another program while the windows go on answering: a
// walk that waited for it here would measure its own camera in the stall log.
void CTour::OnDrawn(wxTimerEvent&)
{
    if (!m_window)
        return;
    if ((wxTheApp->Pending() || wxTheApp->HasPendingEvents()) && m_drawWatch.Time() < kDrawLimitMs) {
        m_drawTimer.StartOnce(kDrawCheckMs);
        return;
    }
    RecordLayoutFaults();
    m_picturePath =
        wxFileName(m_folder, wxString::Format("%02zu-%s.png", m_next + 1, m_steps[m_next].name)).GetFullPath();
    auto* camera = new CCamera(this);
    if (wxExecute(ShotCommand(m_picturePath), wxEXEC_ASYNC, camera) == 0) {
        delete camera;
        OnPictureTaken(-1);
    }
}

// Each fault once, under the first step that showed it: the navigation bar is on
// every page.
void CTour::RecordLayoutFaults()
{
    wxFFile report(wxFileName(m_folder, "layout.txt").GetFullPath(), "a");
    for (const wxString& fault : CLayoutCheck::CheckShownWindows()) {
        if (m_faultsSeen.insert(fault).second && report.IsOpened())
            report.Write(wxString::Format("%02zu-%s: %s\n", m_next + 1, m_steps[m_next].name, fault));
    }
}

void CTour::OnPictureTaken(int exitCode)
{
    if (exitCode != 0)
        VLOG(LOG_ERROR, "tour: taking %s failed", U8(m_picturePath));
    if (!m_window)
        return;
    if (m_steps[m_next].hide) {
        CStallWatch::SetActivity(wxString::Format("tour leaving step %02zu-%s", m_next + 1, m_steps[m_next].name));
        m_steps[m_next].hide();
    }
    ++m_next;
    ShowNext();
}
