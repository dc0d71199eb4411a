#include "CommandCenterSession.h"

#include "BusyFlag.h"
#include "Log.h"
#include "TerminalText.h"

#include <chrono>

namespace {

// A scanner that never stops talking must not keep the worker from its queue: a
// device line takes at most this much before it is shown.
const size_t kLongestDeviceBlock = 64 * 1024;
const char kLineTerminalCommand[] = "CLIENA1";

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

void CCommandCenterSession::PauseReader()
{
    m_readerEnabled = false;
    std::lock_guard<std::mutex> wait(m_linkMutex);
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

// Waits, takes one thing, handles it; sleeps only when there was nothing to do, so a
// burst of scanned data or queued commands goes through at once.
void CCommandCenterSession::WorkerLoop()
{
    for (;;) {
        // The configuration page has the link for one of its exchanges.
        while (IsProcessBusy() && !m_closing)
            Pause(kBusyWaitMs);
        if (m_closing)
            return;
        if (!RunOneStep())
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
    if (!m_readerEnabled || IsProcessBusy())
        return false;
    if (!m_link.IsOpen()) {
        m_readerEnabled = false;
        return false;
    }
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
    m_link.ReadReply(0, bytes, text);
    VLOG(LOG_DETAIL, "size=%i,BUFFER=%s", static_cast<int>(text.length()), U8(text));
    AppendResponseLine(bytes, text);
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
        Pause(kLinePauseMs);
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
    std::string block;
    std::string bytes;
    wxString text;
    wxString blockText;
    while (block.size() < kLongestDeviceBlock && !m_closing && m_link.ReadReply(kPollMs, bytes, text)) {
        block += bytes;
        blockText += text;
    }
    if (block.empty())
        return false;
    AppendDeviceLine(block, blockText);
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

void CCommandCenterSession::AppendDeviceLine(const std::string& bytes, const wxString& text)
{
    wxString line = m_options.tags && !m_lineMode ? "Device: " : "";
    const SDevicePacket packet = m_options.packedData ? ReadDevicePacket(bytes) : SDevicePacket();
    if (m_options.hexDisplay) {
        line += HexOfBytes(bytes);
    } else if (packet.valid) {
        line += m_symbologies.NameOfCode(packet.code) + "\r\n" + CharactersOfBytes(packet.payload);
    } else {
        wxString shown = text;
        shown.Replace(wxString(wxUniChar(0)), " ");
        line += shown;
    }
    Emit(STerminalOutput::LINE, line + "\r\n");
}

void CCommandCenterSession::Emit(STerminalOutput::EKind kind, const wxString& text)
{
    if (m_sink)
        m_sink(STerminalOutput{kind, text});
}
