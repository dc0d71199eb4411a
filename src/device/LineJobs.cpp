#include "LineJobs.h"

#include <chrono>

namespace {

thread_local const CLineJob* t_runningJob = nullptr;

}  // namespace

void CLineJob::Cancel()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancel = true;
    }
    m_ended.notify_all();
}

bool CLineJob::WaitFor(uint32_t ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_ended.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_cancel.load(); });
}

void CLineJob::SetStopRequest(std::function<void()> request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopRequest = std::move(request);
}

void CLineJob::AskToStop()
{
    std::function<void()> request;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        request = m_stopRequest;
    }
    if (request)
        request();
    else
        Cancel();
}

bool CLineJob::IsFinished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

bool CLineJob::Result() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_result;
}

bool CLineJob::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ended.wait(lock, [this] { return m_finished; });
    return m_result;
}

void CLineJob::Finish(bool result)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
        m_result = result;
    }
    m_ended.notify_all();
}

LineJobPtr CLineJobs::Queue(const SLineUser& user, Work work, Ended ended, CLineJob::ProgressSink progress)
{
    auto job = std::make_shared<CLineJob>(user, std::move(progress));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) {
        m_stopping = false;
        m_thread = std::thread([this] { RunThread(); });
    }
    m_queue.push_back(SQueued{job, std::move(work), std::move(ended)});
    m_wake.notify_one();
    return job;
}

bool CLineJobs::Run(const SLineUser& user, Work work)
{
    if (IsLineThread())
        return work(*std::make_shared<CLineJob>(user));  // a job's own step: the line is held already
    return Queue(user, std::move(work))->Wait();
}

void CLineJobs::CancelAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (SQueued& item : m_queue)
        item.job->Cancel();
    if (m_running)
        m_running->Cancel();
}

void CLineJobs::Shutdown()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    CancelAll();
    m_wake.notify_all();
    if (m_thread.joinable() && !IsLineThread())
        m_thread.join();
    else if (m_thread.joinable())
        m_thread.detach();  // a job that shuts its own queue down: the loop ends after it
}

size_t CLineJobs::Count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size() + (m_running ? 1 : 0);
}

size_t CLineJobs::Queued() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

void CLineJobs::RunThread()
{
    m_threadId = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            break;  // stopping, and every job has had its end
        SQueued item = std::move(m_queue.front());
        m_queue.pop_front();
        m_running = item.job;
        lock.unlock();
        RunOne(item);
        lock.lock();
        m_running.reset();
    }
    m_threadId = std::thread::id();
}

void CLineJobs::RunOne(SQueued& item)
{
    CLineJob& job = *item.job;
    bool result = false;
    if (!job.IsCancelled()) {
        // Whoever asks the holder of the line to stop asks the job.
        CLineHold hold = m_line.Take(job.User(), [weak = std::weak_ptr<CLineJob>(item.job)] {
            if (auto running = weak.lock())
                running->AskToStop();
        });
        t_runningJob = &job;
        try {
            result = item.work(job);
        } catch (...) {
            result = false;  // a job that throws has failed; the line's thread goes on
        }
        t_runningJob = nullptr;
    }
    // The end is told before Wait returns, so that a waiter sees its effects.
    if (item.ended)
        item.ended(result);
    job.Finish(result);
}

bool CLineJobs::IsCurrentJobCancelled()
{
    return t_runningJob && t_runningJob->IsCancelled();
}
