// The line's own thread. Every exchange with the open scanner and every long
// operation is a job queued here: jobs run one after the other in the order they
// were queued, each holding the line while it runs, and report their progress and
// their end to whoever queued them. A part that works step by step (the terminal's
// poll, auto capture) queues its next step behind what others queued meanwhile, so
// nobody waits for more than one step. The window thread queues and reacts to the
// ends; only the command-line tool and tests may wait for a job.
#pragma once

#include "LineOwner.h"

#include <wx/string.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

struct SJobProgress {
    uint64_t done = 0;
    uint64_t total = 0;  // 0 while the size is unknown
    uint64_t items = 0;  // what the work counts besides bytes (entries, settings)
    bool noEndInSight = false;  // the work will not end by itself; the user may stop it
};

// One queued piece of work; shared by the queue, the work itself and whoever queued it.
class CLineJob {
public:
    using ProgressSink = std::function<void(const SJobProgress&)>;

    explicit CLineJob(const SLineUser& user, ProgressSink progress = ProgressSink())
        : m_user(user), m_progress(std::move(progress))
    {
    }

    const SLineUser& User() const { return m_user; }

    // Any thread: a job not started yet never runs; a running one ends at its next
    // bounded step (the work looks at IsCancelled or hands CancelFlag to the link).
    void Cancel();
    bool IsCancelled() const { return m_cancel; }
    // From the work: waits `ms` for the scanner (a time it needs before it answers),
    // ended early by a cancel; false when the job was cancelled.
    bool WaitFor(uint32_t ms);
    // What another part's request to stop this job does (by default it cancels it):
    // a capture lets its picture finish and takes no next one.
    void SetStopRequest(std::function<void()> request);
    void AskToStop();
    const std::atomic<bool>& CancelFlag() const { return m_cancel; }

    // From the work: tells whoever queued the job how far it got.
    void Report(const SJobProgress& progress) const
    {
        if (m_progress)
            m_progress(progress);
    }

    bool IsFinished() const;
    // The work's result; false for a job cancelled before it ran or one that threw.
    bool Result() const;
    // Queue and wait, for the command-line tool and tests: blocks until the job has
    // ended. Never from the window thread while the job may still run: the windows
    // would freeze, and the line's rule does not see it (it watches takes of the line).
    bool Wait();

private:
    friend class CLineJobs;
    void Finish(bool result);

    const SLineUser& m_user;
    ProgressSink m_progress;
    std::atomic<bool> m_cancel{false};
    mutable std::mutex m_mutex;
    std::function<void()> m_stopRequest;
    std::condition_variable m_ended;
    bool m_finished = false;
    bool m_result = false;
};

using LineJobPtr = std::shared_ptr<CLineJob>;

class CLineJobs {
public:
    // Runs on the line's thread with the line held; true when it did its work.
    using Work = std::function<bool(CLineJob& job)>;
    // Called on the line's thread when the job has ended, run or not.
    using Ended = std::function<void(bool result)>;

    explicit CLineJobs(CLineOwner& line) : m_line(line) {}
    ~CLineJobs() { Shutdown(); }
    CLineJobs(const CLineJobs&) = delete;
    CLineJobs& operator=(const CLineJobs&) = delete;

    // Any thread. The thread starts with the first job.
    LineJobPtr Queue(const SLineUser& user, Work work, Ended ended = Ended(),
                     CLineJob::ProgressSink progress = CLineJob::ProgressSink());
    // Queues and waits: for the command-line tool and tests.
    bool Run(const SLineUser& user, Work work);

    // Cancels what is queued and what runs; their ends are still reported.
    void CancelAll();
    // Cancels everything and waits for the thread to end. Later jobs start it again.
    void Shutdown();
    // True on a line's thread while its running job has been cancelled: the link
    // then neither writes nor reads for it, so work that goes on after a stop sends
    // nothing more to the scanner.
    static bool IsCurrentJobCancelled();
    // True on the line's own thread (for checks in work that must run there).
    bool IsLineThread() const { return std::this_thread::get_id() == m_threadId.load(); }
    // Jobs queued or running.
    size_t Count() const;
    // Jobs queued and not started yet.
    size_t Queued() const;

private:
    struct SQueued {
        LineJobPtr job;
        Work work;
        Ended ended;
    };
    void RunThread();
    void RunOne(SQueued& item);

    CLineOwner& m_line;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<SQueued> m_queue;
    LineJobPtr m_running;
    bool m_stopping = false;
    std::thread m_thread;
    std::atomic<std::thread::id> m_threadId{};
};
