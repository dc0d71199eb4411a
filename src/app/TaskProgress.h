// How far a long task on a worker thread has got, for the window that waits on it.
// The worker only writes numbers; the window reads them on its own timer, so no
// window is touched from the worker.
#pragma once

#include <wx/string.h>

#include <atomic>
#include <chrono>
#include <cstdint>

class CTaskProgress {
public:
    // `total` 0: the size of the work is not known.
    void Start(uint64_t total);
    void Advance(uint64_t units);
    void SetDone(uint64_t done) { m_done.store(done, std::memory_order_relaxed); }
    uint64_t Done() const { return m_done.load(std::memory_order_relaxed); }
    uint64_t Total() const { return m_total.load(std::memory_order_relaxed); }

private:
    std::atomic<uint64_t> m_done{0};
    std::atomic<uint64_t> m_total{0};
};

// While a waiting window watches this thread's task: its progress record; null ends it.
void WatchThisThreadsTask(CTaskProgress* progress);
// The task on this thread has `total` units of work before it (0: unknown), none done yet.
// Without a watching window both calls do nothing, so the work can run anywhere.
void StartTaskProgress(uint64_t total);
void AdvanceTaskProgress(uint64_t units = 1);
// `done` units finished so far, for work counted as it arrives (bytes of a reply).
void SetTaskProgressDone(uint64_t done);

struct SShownProgress {
    int permille = 0;       // of the bar, 0 to 1000
    int secondsLeft = -1;   // -1: too early to say
};

// What the bar shows after `elapsedMs` with `done` of `total` finished: the share, and
// the time left at the pace so far once there is a pace to go by.
SShownProgress ShownProgress(uint64_t done, uint64_t total, uint64_t elapsedMs);

// "done / total", then the time left when there is an estimate; empty while the size
// of the work is not known.
wxString ProgressText(uint64_t done, uint64_t total, const SShownProgress& shown);

// What a window shows of `progress` `since` the work began: the bar and its text.
struct SProgressDisplay {
    bool known = false;  // false: nothing to go by, the bar pulses
    int permille = 0;
    wxString text;
};
SProgressDisplay DisplayOf(const CTaskProgress& progress, std::chrono::steady_clock::time_point since);
