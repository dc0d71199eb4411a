// The command terminal without its window: the send queue, the worker that writes
// queued commands and keeps reading what the scanner sends by itself, and the
// transcript lines it makes of both. The window hands in the options and shows the
// lines it is given; everything here can run without a display.
#pragma once

#include "TerminalLink.h"
#include "TerminalText.h"
#include "model/SymbologiesXmlInfo.h"

#include <wx/string.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// What the worker hands to the window: a transcript line, or a change of mode.
struct STerminalOutput {
    // NO_ANSWER follows the empty response line of a command nothing answered: the
    // window says so, since a wrong baud rate or port looks just like that.
    enum EKind { LINE, ENTER_LINE_MODE, LEAVE_LINE_MODE, NO_ANSWER };
    EKind kind = LINE;
    wxString text;
};

// The check boxes of the terminal, read by the worker at each step.
struct STerminalOptions {
    std::atomic<bool> tags{true};          // "Request: ", "Response: ", "Device: "
    std::atomic<bool> hexSend{false};      // typed text is hexadecimal digit pairs
    std::atomic<bool> hexDisplay{false};   // lines show bytes in hexadecimal
    std::atomic<bool> packedData{false};   // the scanner's own output comes packed
    std::atomic<bool> packCommand{true};   // typed commands go out in the request frame
    std::atomic<bool> expand{false};       // frames shown whole, control characters named
};

class CCommandCenterSession {
public:
    using Sink = std::function<void(const STerminalOutput&)>;

    static constexpr uint32_t kPollMs = 60;
    static constexpr int kIdleMs = 30;
    static constexpr int kLinePauseMs = 1000;

    // `sink` is called on the worker thread.
    CCommandCenterSession(ITerminalLink& link, Sink sink);
    ~CCommandCenterSession();
    CCommandCenterSession(const CCommandCenterSession&) = delete;
    CCommandCenterSession& operator=(const CCommandCenterSession&) = delete;

    STerminalOptions& Options() { return m_options; }
    // Names for the codes of packed data; without them packets read "Unknown".
    void SetSymbologies(const CSymbologiesXmlInfo& symbologies) { m_symbologies = symbologies; }

    void Start();
    // Sets the closing flag and waits for the worker; a queued command stays unsent.
    void Stop();
    bool IsRunning() const { return m_worker.joinable(); }

    // While the reader is on, the worker shows what the scanner sends by itself,
    // including what came around other parts' exchanges.
    void SetReaderEnabled(bool enabled);
    bool IsReaderEnabled() const { return m_readerEnabled; }
    bool IsInLineMode() const { return m_lineMode; }
    // The window ended the line terminal on its own (a line too long to send).
    void LeaveLineMode() { m_lineMode = false; }
    // Clears the reader flag. It returns at once: a step under way ends on its own,
    // and a close or reconfiguration of the link waits for it in its turn on the line.
    void PauseReader() { SetReaderEnabled(false); }
    // Turns the reader on after dropping what arrived while it was off; the drop is
    // the worker's, in its turn on the line, so that the window never waits for it.
    void StartReadingAfresh();

    void QueueCommand(const wxString& command);
    // A line typed in line-terminal mode, sent with CR and without a frame. A line
    // containing "exit" goes out twice and ends the mode.
    void QueueTerminalLine(const wxString& line);
    size_t QueuedCount();

    // One turn of the worker loop, for the worker and for tests: sends the first
    // queued item or polls the link; true when it did something.
    bool RunOneStep();

private:
    struct SQueued {
        bool terminalLine = false;
        wxString text;
    };

    void WorkerLoop();
    bool TakeQueued(SQueued& item);
    void SendCommand(wxString command);
    void SendTerminalLine(const wxString& line);
    bool PollDevice();
    void AppendRequestLine(const wxString& command, const wxString& frame);
    void AppendResponseLine(const std::string& bytes, const wxString& text);
    void AppendDeviceLine(const SDevicePiece& piece);
    void Emit(STerminalOutput::EKind kind, const wxString& text = wxString());
    // Sleeps `ms` unless the session is closing first.
    void Pause(int ms);

    ITerminalLink& m_link;
    Sink m_sink;
    STerminalOptions m_options;
    CSymbologiesXmlInfo m_symbologies;
    std::atomic<bool> m_readerEnabled{false};
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_lineMode{false};  // after "CLIENA1" until "exit"
    std::atomic<bool> m_dropFirst{false};  // input to drop before the next step reads
    int m_restMs = 0;  // how long the worker rests after the step, the line given back
    std::mutex m_queueMutex;
    std::deque<SQueued> m_queue;
    std::mutex m_linkMutex;  // held while a step uses the link
    std::string m_partialFrame;  // the start of a packed frame the last block cut off
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::thread m_worker;
};
