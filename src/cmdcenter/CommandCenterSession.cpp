#include "CommandCenterSession.h"

#include "TerminalText.h"
#include "app/Log.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

const char kLineTerminalCommand[] = "CLIENA1";
// A step waits this long for the line before it lets the turn pass: long enough for
// another part's single exchange, short enough that closing never waits on it.
const uint32_t kLineWaitMs = 20;

// What the scanner sent, as the device line shows it: UTF-8 when it is that,
// otherwise one character per byte.
wxString TextOfBytes(const std::string& bytes)
{
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
    if (high) {
        const wxString utf8 = wxString::FromUTF8(bytes.data(), bytes.size());
        if (!utf8.empty()) {
            wxString shown = utf8;
            shown.Replace(wxString(wxUniChar(0)), " ");
            return shown;
        }
    }
    return CharactersOfBytes(bytes);
}

}  // namespace

CCommandCenterSession::CCommandCenterSession(ITerminalLink& link, Sink sink) : m_link(link), m_sink(std::move(sink)) {}

CCommandCenterSession::~CCommandCenterSession()
{
    Stop();
}

void CCommandCenterSession::Start()
{
    if (m_worker.joinable())
        return;
    m_closing = false;
    m_worker = std::thread([this] { WorkerLoop(); });
}

void CCommandCenterSession::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_closing = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void CCommandCenterSession::SetReaderEnabled(bool enabled)
{
    m_readerEnabled = enabled;
    m_link.KeepDeviceOutput(enabled);
}

void CCommandCenterSession::StartReadingAfresh()
{
    m_dropFirst = true;
    SetReaderEnabled(true);
}

void CCommandCenterSession::QueueCommand(const wxString& command)
{
    std::lock_guard<std::mutex> lock(m_queueMutex);
    m_queue.push_back({false, command});
}

void CCommandCenterSession::QueueTerminalLine(const wxString& line)
{
    std::lock_guard<std::mutex> lock(m_queueMutex);
    m_queue.push_back({true, line});
}

size_t CCommandCenterSession::QueuedCount()
{
    std::lock_guard<std::mutex> lock(m_queueMutex);
    return m_queue.size();
}

// Waits, takes one thing, handles it; rests only when there was nothing to do, so a
// burst of scanned data or queued commands goes through at once. Each step takes the
// line and gives it back, so other parts get their turn between steps.
void CCommandCenterSession::WorkerLoop()
{
    while (!m_closing) {
        const bool worked = RunOneStep();
        if (m_restMs > 0) {
            Pause(std::exchange(m_restMs, 0));
            continue;
        }
        if (!worked)
            Pause(kIdleMs);
    }
}

void CCommandCenterSession::Pause(int ms)
{
    std::unique_lock<std::mutex> lock(m_wakeMutex);
    m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_closing.load(); });
}

bool CCommandCenterSession::RunOneStep()
{
    std::lock_guard<std::mutex> busy(m_linkMutex);
    if (!m_readerEnabled)
        return false;
    if (!m_link.IsOpen()) {
        SetReaderEnabled(false);
        return false;
    }
    // Another part (a capture, a write, a fetch) has the line: this turn passes.
    CLineHold hold = m_link.TakeLine(LineUsers::kTerminal, kLineWaitMs);
    if (!hold)
        return false;
    if (m_dropFirst.exchange(false))
        m_link.DropInput();
    SQueued item;
    if (!TakeQueued(item))
        return PollDevice();
    if (item.terminalLine)
        SendTerminalLine(item.text);
    else
        SendCommand(item.text);
    return true;
}

bool CCommandCenterSession::TakeQueued(SQueued& item)
{
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (m_queue.empty())
        return false;
    item = m_queue.front();
    m_queue.pop_front();
    return true;
}

void CCommandCenterSession::SendCommand(wxString command)
{
    const bool hexSend = m_options.hexSend;
    if (hexSend)
        command = CharactersOfHex(command, false);
    const wxString frame = m_options.packCommand ? PackTerminalCommand(command) : command;
    AppendRequestLine(command, frame);
    const uint32_t written = hexSend ? m_link.WriteRaw(LowBytesOf(frame)) : m_link.WriteText(frame);
    std::string bytes;
    wxString text;
    if (written == 0) {
        AppendResponseLine(bytes, text);
        return;
    }
    // A framed command gets its own reply even while the scanner reads codes; what it
    // sends unframed may be answered by anything, so the first block is its reply.
    const bool answered = m_options.packCommand ? m_link.ReadFramedReply(bytes, text) : m_link.ReadReply(0, bytes, text);
    VLOG(LOG_DETAIL, "size=%i,BUFFER=%s", static_cast<int>(text.length()), U8(text));
    AppendResponseLine(bytes, text);
    if (!answered)
        Emit(STerminalOutput::NO_ANSWER);
    if (command == kLineTerminalCommand) {
        m_lineMode = true;
        Emit(STerminalOutput::ENTER_LINE_MODE);
    }
}

void CCommandCenterSession::SendTerminalLine(const wxString& line)
{
    const wxString withReturn = line + wxUniChar('\r');
    const bool isExit = line.Contains("exit");
    bool written = m_link.WriteText(withReturn) != 0;
    if (written && !isExit) {
        // The scanner takes its time over a terminal line; the worker rests with the
        // line given back, so others have their turn meanwhile.
        m_restMs = kLinePauseMs;
        return;
    }
    if (written)
        m_link.WriteText(withReturn);
    m_lineMode = false;
    Emit(STerminalOutput::LINE, "\r\n");
    Emit(STerminalOutput::LEAVE_LINE_MODE);
}

bool CCommandCenterSession::PollDevice()
{
    std::string bytes;
    if (!m_link.ReadDeviceOutput(kPollMs, bytes))
        return false;
    std::string block = m_partialFrame + bytes;
    m_partialFrame.clear();
    if (!m_options.packedData) {
        // The user said the output is not packed: what looks like a frame is data too,
        // and nothing is held back waiting for a frame's rest.
        SDevicePiece plain;
        plain.raw = block;
        AppendDeviceLine(plain);
        return true;
    }
    // A frame cut by the block's bound waits for the rest in the next step.
    for (const SDevicePiece& piece : SplitDeviceOutput(block, m_partialFrame))
        AppendDeviceLine(piece);
    return true;
}

void CCommandCenterSession::AppendRequestLine(const wxString& command, const wxString& frame)
{
    const wxString shown = m_options.packCommand && m_options.expand ? frame : command;
    wxString line = m_options.tags ? "Request: " : "";
    line += m_options.hexDisplay ? HexOfCharacters(shown) : ExpandControlCharacters(shown);
    Emit(STerminalOutput::LINE, line + "\r\n");
}

void CCommandCenterSession::AppendResponseLine(const std::string& bytes, const wxString& text)
{
    const bool expand = m_options.expand;
    wxString line = m_options.tags ? "Response: " : "";
    if (m_options.hexDisplay)
        line += HexOfBytes(ShownReplyBytes(bytes, expand));
    else
        line += ExpandControlCharacters(ShownReplyText(text, expand));
    Emit(STerminalOutput::LINE, line + "\r\n");
}

void CCommandCenterSession::AppendDeviceLine(const SDevicePiece& piece)
{
    wxString line = m_options.tags && !m_lineMode ? "Device: " : "";
    if (m_options.hexDisplay)
        line += HexOfBytes(piece.raw);
    else if (piece.packet)
        line += m_symbologies.NameOfCode(piece.code) + "\r\n" + CharactersOfBytes(piece.payload);
    else
        line += TextOfBytes(piece.raw);
    Emit(STerminalOutput::LINE, line + "\r\n");
}

void CCommandCenterSession::Emit(STerminalOutput::EKind kind, const wxString& text)
{
    if (m_sink)
        m_sink(STerminalOutput{kind, text});
}
