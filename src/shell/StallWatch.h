// A watch on the window thread's event loop: a timer that should run every 10 ms
// notes how late it runs, and so how long the windows did not answer, together with
// the last event the loop handed out before (what ran meanwhile). Opt-in for the
// program (VOSTREL_STALL_LOG=FILE writes each stall over 100 ms to FILE), and what the
// window tests measure their responsiveness with.
#pragma once

#include <wx/event.h>
#include <wx/eventfilter.h>
#include <wx/ffile.h>
#include <wx/string.h>
#include <wx/timer.h>

#include <chrono>

class CStallWatch : public wxEventFilter {
public:
    static constexpr int kTickMs = 10;
    static constexpr int kReportMs = 100;

    // `logPath` empty: nothing is written, the longest stall is only kept.
    explicit CStallWatch(const wxString& logPath = wxString());
    ~CStallWatch() override;
    CStallWatch(const CStallWatch&) = delete;
    CStallWatch& operator=(const CStallWatch&) = delete;

    // The watch that VOSTREL_STALL_LOG asks for; null without it.
    static CStallWatch* FromEnvironment();

    // The longest time the loop did not answer since the start or the last Reset, in
    // ms beyond the tick, and what ran before it.
    long LongestMs() const { return m_longestMs; }
    wxString LongestWhat() const { return m_longestWhat; }
    void Reset();

    int FilterEvent(wxEvent& event) override;

    // What the program is doing, for the log's lines (the page tour names its step).
    // Window thread only.
    static void SetActivity(const wxString& activity);

private:
    void OnTick(wxTimerEvent& event);
    wxString LastEventText() const;

    using Clock = std::chrono::steady_clock;
    wxTimer m_timer;
    Clock::time_point m_lastTick;
    long m_longestMs = 0;
    wxString m_longestWhat;
    // The last event handed out other than the watch's own ticks: kept as the type
    // and the class name of its object, which stay valid after the object goes.
    wxEventType m_lastType = wxEVT_NULL;
    const wxChar* m_lastClass = nullptr;
    wxFFile m_log;
    static wxString s_activity;
};
