// Who may talk to the open scanner line. One exchange or one long operation at a
// time: each takes the line, does its work and gives it back; whoever else needs it
// waits here, or learns what holds it and may ask that part to stop.
#pragma once

#include <wx/string.h>

#include <condition_variable>
#include <cstdint>
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

    // Waits until the line is free. A thread that holds the line already takes it
    // again at once: an operation is made of exchanges that each take the line too.
    CLineHold Take(const SLineUser& user, StopRequest stop = StopRequest());
    // The line if it can be had within `waitMs`; empty otherwise.
    CLineHold TakeWithin(const SLineUser& user, uint32_t waitMs, StopRequest stop = StopRequest());
    // The line if it is free now (or held by this thread); empty otherwise.
    CLineHold TryTake(const SLineUser& user) { return TakeWithin(user, 0); }

    // True while another thread holds the line.
    bool IsHeldElsewhere() const;
    bool IsHeldHere() const;
    // What holds the line, in the user's words; empty when it is free or held by this thread.
    wxString HolderText() const;
    // True when the holder can be asked to stop (its operation said how).
    bool CanAskHolderToStop() const;
    // Asks the holder to stop; false when the line is free or the holder cannot stop.
    bool AskHolderToStop();
    // For a part that takes the line again and again (auto capture, the terminal):
    // called after giving it back, lets whoever waits for it go first, waiting at
    // most `limitMs` for them to take it.
    void GiveWay(uint32_t limitMs = 1000);

private:
    friend class CLineHold;
    bool IsFree() const { return m_depth == 0; }
    // With m_mutex held: the line is free or this thread's already.
    bool MayTakeHere() const;
    // With m_mutex held and MayTakeHere true: one more hold of this thread.
    CLineHold HoldFor(const SLineUser& user, StopRequest stop);
    void Release();

    mutable std::mutex m_mutex;
    std::condition_variable m_freed;
    std::thread::id m_thread;
    int m_depth = 0;
    int m_waiting = 0;
    const SLineUser* m_user = nullptr;
    StopRequest m_stop;
};
