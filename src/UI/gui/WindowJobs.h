// A window's jobs on the scanner line. The window queues work for the line's thread
// and is told of its progress and its end on the window thread, through the event
// loop; it never waits. A window that goes away first cancels its jobs, and their
// ends are no longer told to it.
#pragma once

#include "device/LineJobs.h"

#include <wx/window.h>

#include <functional>
#include <memory>
#include <vector>

class CWindowJobs {
public:
    // On the window thread.
    using Ended = std::function<void(bool result)>;
    using Progress = std::function<void(const SJobProgress& progress)>;

    CWindowJobs() = default;
    ~CWindowJobs();
    CWindowJobs(const CWindowJobs&) = delete;
    CWindowJobs& operator=(const CWindowJobs&) = delete;

    // Queues `work` on the program's scanner line.
    LineJobPtr Queue(const SLineUser& user, CLineJobs::Work work, Ended ended = Ended(),
                     Progress progress = Progress());
    // Cancels every job of this window that has not ended; their ends are still told.
    void CancelAll();
    // True from the queuing of a job of this window until its end has been told here.
    bool IsBusy() const { return m_pending > 0; }
    // While busy, `window` shows the pointer that says work goes on behind (the user
    // may still click); the window owns these jobs.
    void ShowBusyOn(wxWindow* window) { m_busyWindow = window; }

private:
    void CountStarted();
    void CountEnded();

    wxWindow* m_busyWindow = nullptr;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    // Jobs whose end has not been told yet; read and changed on the window thread only.
    int m_pending = 0;
    std::vector<std::weak_ptr<CLineJob>> m_jobs;
};
