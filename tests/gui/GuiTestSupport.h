// What the window tests share: widget events sent the way the toolkit sends them,
// a fixture for a page built from a model and a page file of its own, and one for
// the main window over a copy of the shipped data.
#pragma once

#include "config/PendingChangeList.h"
#include "model/CmdNameXmlInfo.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"
#include "regCtrl/object/ControlBase.h"
#include "regCtrl/object/ControlMnt.h"

#include "support/MessageRecorder.h"
#include "support/ScriptedScanner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCfgMainDlg;
class CDeviceInfo;
class CKeyBoardCtrl;
class CVostrelDlg;
class wxCheckBox;
class wxTimer;

// Forgets the model, the pages, the pending changes, the engine and the control
// registry, so that the next test builds its page from nothing.
void ResetPageSingletons();

// A command event of `type` from `widget`, handled at once.
void Send(wxWindow* widget, wxEventType type);
void Press(wxWindow* button);
// Sets a check box as a click does and tells its handlers.
void Tick(wxCheckBox* box, bool ticked);
// Selects the entry shown as `label` and tells the control's handlers.
void Pick(wxChoice* choice, const wxString& label);
std::vector<wxString> EntriesOf(const wxChoice* choice);
// The two ways an edit is finished: the focus leaves it, or Enter.
void Leave(wxTextCtrl& edit);
void PressEnter(wxTextCtrl& edit);
// A key pressed in `window` as the toolkit reports it before any control sees it.
void SendKey(wxWindow* window, int code, bool control = false);
// The key of `pad` showing `legend`; a failure and 0 when there is none.
size_t KeyIndex(const CKeyBoardCtrl& pad, const wxString& legend);
// The first child of `window` that is a T.
template <typename T>
T* ChildOf(wxWindow* window)
{
    for (wxWindow* child : window->GetChildren()) {
        if (auto* found = dynamic_cast<T*>(child))
            return found;
    }
    return nullptr;
}
// The first top-level window that is a T.
template <typename T>
T* TopLevel()
{
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* found = dynamic_cast<T*>(window))
            return found;
    }
    return nullptr;
}
// Runs `run` (a modal loop) while `tick` is called every `periodMs` from inside it,
// as a user would act on the dialog; `tick` gets the timer to stop it.
void DriveWhile(int periodMs, const std::function<void(wxTimer&)>& tick, const std::function<void()>& run);
// Has the settings page run its line work at once, counting the runs in `runs`.
void CountLineWork(int& runs);
// Runs `work` as a job on the scanner line and waits for it, as the command-line tool
// does: a test's own thread is the windows' thread, which never takes the line.
bool RunOnLine(const std::function<bool()>& work);
// Lets the windows work until `done` holds; false when it still fails after `seconds`.
bool RunUntil(const std::function<bool()>& done, int seconds);

// A program folder holding one model file and one page file, both loaded, the
// window control factory installed, and a hidden frame with a 640 x 800 panel to
// build the pages' controls on.
class PageFixture : public ::testing::Test {
protected:
    void TearDown() override;

    void LoadFiles(const char* model, const char* pages);
    // Builds the controls of every group of `pageName` (all open), the first group at the top.
    void BuildPage(const char* pageName);

    static CCmdNameXmlInfo& Setting(const char* name);
    static wxWindow* WidgetOf(const char* name) { return Setting(name).Control->GetValueWnd(); }
    template <typename TWidget>
    static TWidget* WidgetOf(const char* name)
    {
        auto* widget = dynamic_cast<TWidget*>(WidgetOf(name));
        EXPECT_NE(nullptr, widget) << name;
        return widget;
    }
    static bool IsPending(const char* name) { return CPendingChangeList::GetInstance().IsListed(&Setting(name)); }
    // A scanner played on a pseudo-terminal, opened as the link's device with `replies`
    // scripted; `online` is what the engine is told, as after the connect step.
    CScriptedScanner& ConnectScanner(std::vector<std::string> replies, bool online);

    CTempDir m_dir;
    CMessageRecorder m_messages;
    wxFrame* m_frame = new wxFrame(nullptr, wxID_ANY, "page", wxDefaultPosition, wxSize(660, 840));
    wxPanel* m_page = new wxPanel(m_frame, wxID_ANY, wxPoint(0, 0), wxSize(640, 800));
    std::unique_ptr<CScriptedScanner> m_scanner;
};

// The main window over a copy of the shipped data, with simulated scanners plugged in.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with `ini` as its settings file (none when empty); false
    // when it ends at once.
    bool Start(const std::string& ini);
    // Closes the window as the window manager does, and lets it go.
    void Destroy();
    uint32_t Plug(const char* model);

    CTempDir m_dir;
    CMessageRecorder m_messages;
    CVostrelDlg* m_window = nullptr;
    std::vector<uint32_t> m_ports;
};

// A copy of the shipped data in English with its model catalogue, and a shown frame
// to put a configuration page in.
class ShippedPageFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The catalogue model `key` made the engine's current one, as choosing it does.
    static CDeviceInfo* UseModel(const char* key);
    CCfgMainDlg* OpenPage(bool online);
    static CCmdNameXmlInfo* Setting(const char* name) { return CPageMntXmlInfo::GetInstance().FindCommand(name); }

    CTempDir m_dir;
    CMessageRecorder m_messages;
    wxFrame* m_frame = nullptr;
    uint32_t m_port = 0;  // a simulated scanner to unplug at the end
};
