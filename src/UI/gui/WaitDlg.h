// The modal progress window: runs one task as a job on the scanner line's thread
// and closes by itself with the task's result; the windows stay responsive meanwhile. A task that knows its size (StartTaskProgress) gets a bar
// that fills, with the time left; other tasks get a pulsing bar. Stop (or Escape)
// cancels the job: the scanner gets nothing more from it, and the window goes when
// the task has returned, its result then false.
#pragma once

#include "app/TaskProgress.h"
#include "device/LineJobs.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <atomic>
#include <chrono>
#include <functional>

class CWaitDlg : public wxDialog {
public:
    // The task must not touch windows: it runs on another thread. An exception it
    // throws counts as failure.
    using Task = std::function<bool()>;

    // `text` empty: the common "please wait" text.
    CWaitDlg(wxWindow* parent, Task task, const wxString& text = wxString());
    ~CWaitDlg() override;

    // Starts the task, shows the window modally until the task has ended and returns
    // its result, false when stopped. Runs the task once; a second call returns the
    // first result.
    bool RunModal();

    // The usual way: one window for one task.
    static bool Run(wxWindow* parent, Task task, const wxString& text = wxString());

    // Long work of a page or panel (building the pages of a connected scanner asks it
    // for values) runs through this; the main window installs a runner that shows this
    // window over itself, tests install one that runs the work directly.
    using WorkRunner = std::function<bool(const std::function<bool()>& work)>;
    static void SetWorkRunner(WorkRunner runner);
    static bool RunWork(const std::function<bool()>& work);

    wxGauge* GetGauge() const { return m_gauge; }
    // Empty while the size of the work is unknown.
    wxString GetProgressText() const { return m_progressText->GetLabel(); }
    wxButton* GetStopButton() const { return m_stop; }
    bool WasStopped() const { return m_stopped; }

private:
    void CreateControls(const wxString& text);
    bool RunTaskOnLine();
    void OnTimer(wxTimerEvent& event);
    void ShowProgress();
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void Stop();

    Task m_task;
    LineJobPtr m_job;
    std::atomic<bool> m_finished{false};
    bool m_started = false;
    wxGauge* m_gauge = nullptr;
    wxStaticText* m_progressText = nullptr;
    wxButton* m_stop = nullptr;
    bool m_stopped = false;
    wxTimer m_timer;
    CTaskProgress m_progress;
    std::chrono::steady_clock::time_point m_startTime;
};
