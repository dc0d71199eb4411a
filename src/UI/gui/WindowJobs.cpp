#include "WindowJobs.h"

#include "device/HBDataStreamMnt.h"

#include <wx/app.h>

#include <algorithm>

namespace {

// Runs `call` on the window thread, unless `alive` says the window went first. The
// flag is only read and cleared on the window thread, so it needs no lock.
void PostIfAlive(const std::shared_ptr<bool>& alive, std::function<void()> call)
{
    if (!wxTheApp) {
        call();  // no event loop (a tool or a test without windows): told where it happens
        return;
    }
    wxTheApp->CallAfter([alive, call = std::move(call)] {
        if (*alive)
            call();
    });
}

}  // namespace

CWindowJobs::~CWindowJobs()
{
    *m_alive = false;
    CancelAll();
}

LineJobPtr CWindowJobs::Queue(const SLineUser& user, CLineJobs::Work work, Ended ended, Progress progress)
{
    m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(), [](const std::weak_ptr<CLineJob>& job) {
                     auto held = job.lock();
                     return !held || held->IsFinished();
                 }),
                 m_jobs.end());
    CountStarted();
    // Told only while this object lives (`alive`), so `this` is still there.
    CLineJobs::Ended onLine = [this, alive = m_alive, ended](bool result) {
        PostIfAlive(alive, [this, ended, result] {
            CountEnded();
            if (ended)
                ended(result);
        });
    };
    CLineJob::ProgressSink sink;
    if (progress)
        sink = [alive = m_alive, progress](const SJobProgress& step) {
            PostIfAlive(alive, [progress, step] { progress(step); });
        };
    LineJobPtr job = CHBDataStreamMnt::GetInstance().Jobs().Queue(user, std::move(work), std::move(onLine),
                                                                   std::move(sink));
    m_jobs.push_back(job);
    return job;
}

void CWindowJobs::CountStarted()
{
    if (++m_pending == 1 && m_busyWindow)
        m_busyWindow->SetCursor(wxCursor(wxCURSOR_ARROWWAIT));
}

void CWindowJobs::CountEnded()
{
    if (--m_pending == 0 && m_busyWindow)
        m_busyWindow->SetCursor(wxNullCursor);
}

void CWindowJobs::CancelAll()
{
    for (const auto& weak : m_jobs)
        if (auto job = weak.lock())
            job->Cancel();
}
