// Who may talk to the open scanner line. One exchange or one long operation at a
// time: each takes the line, does its work and gives it back; whoever else needs it
// waits here in the order it came, or learns what holds it and may ask that part to
// stop. The window thread never takes it: it queues jobs on the line's own thread
// (LineJobs.h), and a take from it is reported as the programming error it is.
#pragma once

#include <wx/string.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// What holds the line, in the user's words (a text identifier and its built-in text).
struct SLineUser {
    const char* textId;
    const char* fallback;
};

namespace LineUsers {
extern const SLineUser kExchange;
extern const SLineUser kConnect;
extern const SLineUser kWrite;
extern const SLineUser kCapture;
extern const SLineUser kFirmware;
extern const SLineUser kBatchFetch;
extern const SLineUser kTerminal;
extern const SLineUser kSearch;
}  // namespace LineUsers

class CLineOwner;

// The line, held for as long as this object lives (or until Release). Empty when
// taking the line did not succeed.
class CLineHold {
public:
    CLineHold() = default;
    CLineHold(CLineHold&& other) noexcept : m_owner(other.m_owner) { other.m_owner = nullptr; }
    CLineHold& operator=(CLineHold&& other) noexcept;
    CLineHold(const CLineHold&) = delete;
    CLineHold& operator=(const CLineHold&) = delete;
    ~CLineHold() { Release(); }

    explicit operator bool() const { return m_owner != nullptr; }
    void Release();

private:
    friend class CLineOwner;
    explicit CLineHold(CLineOwner* owner) : m_owner(owner) {}
    CLineOwner* m_owner = nullptr;
};

class CLineOwner {
public:
    // Called, on the asking thread, when someone asks the holder to stop; it should
    // only set a flag that the holder's work looks at between its bounded steps.
    using StopRequest = std::function<void()>;

    // Called when the forbidden thread tries to take the line.
    using RuleBreak = std::function<void(const SLineUser& user)>;

    // Waits until the line is free and every thread that asked before has had it (so
    // a part that takes the line again and again cannot starve the others). A thread
    // that holds the line already takes it again at once: an operation is made of
    // exchanges that each take the line too.
    CLineHold Take(const SLineUser& user, StopRequest stop = StopRequest());
    // The line if it can be had within `waitMs`; empty otherwise.
    CLineHold TakeWithin(const SLineUser& user, uint32_t waitMs, StopRequest stop = StopRequest());
    // The line if it is free now (or held by this thread); empty otherwise.
    CLineHold TryTake(const SLineUser& user) { return TakeWithin(user, 0); }

    // Threads waiting for the line now.
    size_t WaitingCount() const;
    // True while another thread holds the line.
    bool IsHeldElsewhere() const;
    bool IsHeldHere() const;
    // What holds the line, in the user's words; empty when it is free or held by this thread.
    wxString HolderText() const;
    // True when the holder can be asked to stop (its operation said how).
    bool CanAskHolderToStop() const;
    // Asks the holder to stop; false when the line is free or the holder cannot stop.
    bool AskHolderToStop();
    // A holder that is stopping already (a picture being drained) is no longer offered
    // to be stopped: the others wait for it in their turn without a question.
    void ForgetStopRequest(const SLineUser& user);

    // Names the thread that must never wait for any line (the window thread) and what
    // happens when it tries; without `onBreak`, debug builds stop the program with a
    // message and release builds write the message once. A default id lifts the rule.
    static void ForbidThread(std::thread::id thread, RuleBreak onBreak = RuleBreak());

private:
    friend class CLineHold;
    bool IsFree() const { return m_depth == 0; }
    // With m_mutex held: this thread holds the line already.
    bool HeldByThisThread() const;
    // With m_mutex held: the line is free and `ticket` is the first in the queue.
    bool IsTurnOf(uint64_t ticket) const { return IsFree() && !m_queue.empty() && m_queue.front() == ticket; }
    // Waits in the queue for the line, at most until `deadline` when it is set.
    CLineHold Wait(std::unique_lock<std::mutex>& lock, const SLineUser& user, StopRequest stop,
                   const std::chrono::steady_clock::time_point* deadline);
    static void CheckThread(const SLineUser& user);
    // With m_mutex held and the line this thread's to take: one more hold of it.
    CLineHold HoldFor(const SLineUser& user, StopRequest stop);
    void Release();

    mutable std::mutex m_mutex;
    std::condition_variable m_freed;
    std::thread::id m_thread;
    int m_depth = 0;
    std::deque<uint64_t> m_queue;  // tickets of the threads waiting, oldest first
    uint64_t m_nextTicket = 0;
    const SLineUser* m_user = nullptr;
    StopRequest m_stop;
};
