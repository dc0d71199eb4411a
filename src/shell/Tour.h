// A walk through every page of the program for people who check its looks: with
// VOSTREL_TOUR=<folder> the program, once connected (VOSTREL_AUTOCONNECT), shows the
// home page, the scanner and model lists, the command page, every settings page, the
// setting search, the data-format editor (with and without its key pad), the batch
// and single firmware windows, the picture editor and viewer, the print preview, the
// help window and a message box one after another, and after each has been drawn runs
// VOSTREL_TOUR_SHOT (default "import -window root %s", %s the picture's path) to
// take a picture of the screen as `<folder>/NN-<name>.png`. Before each picture it
// looks over the windows on screen for cut-off text, overlaps and faint text, and
// writes what it finds to `<folder>/layout.txt`. The window closes at the end. It drives the same calls a click does, so what it shows is what users see.
#pragma once

#include <wx/event.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <functional>
#include <set>
#include <vector>

class CVostrelDlg;
class wxTopLevelWindow;
class CTabNodeXmlInfo;

class CTour : public wxEvtHandler {
public:
    CTour(CVostrelDlg& window, const wxString& folder);

    // Plans the walk over what the window shows now and starts it.
    void Start();

    // The shell command that takes one picture, from VOSTREL_TOUR_SHOT.
    static wxString ShotCommand(const wxString& path);

    // The picture of the current step has been taken (or failed): the walk goes on.
    void OnPictureTaken(int exitCode);

private:
    struct SStep {
        wxString name;
        std::function<void()> show;
        std::function<void()> hide;  // after the picture; may be empty
    };

    void PlanSettingsPages();
    void PlanDialogs();
    void AddLeaves(CTabNodeXmlInfo* node);
    // A window of its own, made by `make`, shown for its picture and then destroyed.
    void AddWindowStep(const wxString& name, std::function<wxTopLevelWindow*()> make);
    void ShowNext();
    void OnDrawn(wxTimerEvent& event);
    void RecordLayoutFaults();

    wxWeakRef<CVostrelDlg> m_window;
    wxString m_folder;
    std::vector<SStep> m_steps;
    size_t m_next = 0;
    wxTimer m_drawTimer;
    wxStopWatch m_drawWatch;  // since the step was shown
    wxString m_picturePath;
    std::set<wxString> m_faultsSeen;
};
