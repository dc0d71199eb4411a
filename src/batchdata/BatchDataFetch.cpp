#include "BatchDataFetch.h"

#include "app/AppContext.h"
#include "app/Log.h"
#include "cmdcenter/TerminalText.h"

#include <wx/ffile.h>
#include <wx/log.h>

#include <algorithm>
#include <chrono>

namespace {

const wxUniChar kAck(0x06);

// Stored data as text: UTF-8 when it is that, otherwise one character per byte.
wxString TextOfStoredBytes(const std::string& bytes)
{
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
    if (high) {
        const wxString utf8 = wxString::FromUTF8(bytes.data(), bytes.size());
        if (!utf8.empty())
            return utf8;
    }
    return CharactersOfBytes(bytes);
}

// The entries cut so far: the codes that have their CR LF.
size_t CountEntries(const std::string& stored)
{
    size_t count = 0;
    for (size_t at = stored.find("\r\n"); at != std::string::npos; at = stored.find("\r\n", at + 2))
        ++count;
    return count;
}

// Every stored code, in entries as one data reply is cut. What follows the last line
// break is a code the scanner had not finished when the fetch ended (a stop, a bound):
// it is kept rather than dropped with the bare line break that ends the data.
void CutStoredText(const wxString& text, std::vector<wxString>& entries)
{
    CBatchDataFetch::CutReply(text, entries);
    const size_t last = text.rfind("\r\n");
    if (entries.size() < 2 || last == wxString::npos || last == 0)
        return;  // kept whole already
    const wxString tail = text.substr(last);
    if (tail.length() > 2)
        entries.insert(entries.end() - 1, tail);
}

}  // namespace

bool CBatchDataFetch::SendBatchCommand(const wxString& command)
{
    if (m_link.WriteText(PackTerminalCommand(command)) == 0)
        return false;
    std::string bytes;
    wxString reply;
    if (!m_link.ReadFramedReply(bytes, reply))
        return false;
    return reply.length() >= 3 && reply[reply.length() - 3] == kAck;
}

bool CBatchDataFetch::Fetch(std::vector<wxString>& entries, const SFetchControl& control)
{
    entries.clear();
    m_cutFrame.clear();
    // The whole fetch is one operation on the line: nothing else may read the
    // scanner's data replies, nor write between the two requests and the data.
    CLineHold hold = m_link.TakeLine(LineUsers::kBatchFetch, kLineWaitMs);
    if (!hold) {
        m_end = EFetchEnd::BUSY;
        return false;
    }
    if (!m_link.IsOpen()) {
        m_end = EFetchEnd::GONE;
        return false;
    }
    if (!SendBatchCommand("WLSBAT2") || !SendBatchCommand("WLSSBT")) {
        m_end = EFetchEnd::REFUSED;
        return false;
    }
    // The scanner gets its time to start sending; a stop ends the wait.
    if (control.wait && !control.wait(static_cast<uint32_t>(m_dataWaitMs))) {
        m_end = EFetchEnd::STOPPED;
        return true;
    }
    std::string stored;
    m_end = ReadStoredData(stored, control);
    m_link.SetAside(m_cutFrame);
    m_cutFrame.clear();
    if (!stored.empty())
        CutStoredText(TextOfStoredBytes(stored), entries);
    return true;
}

// The data ends when no stored data has come for a while: codes the scanner reads
// meanwhile keep the line busy but are no stored data, and a scanner that never stops
// sending is cut off by the bounds.
EFetchEnd CBatchDataFetch::ReadStoredData(std::string& stored, const SFetchControl& control)
{
    using Clock = std::chrono::steady_clock;
    const auto since = [](Clock::time_point then) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count();
    };
    const Clock::time_point start = Clock::now();
    Clock::time_point lastData = start;
    Clock::time_point firstData{};
    SFetchProgress progress;
    std::string bytes;
    wxString reply;
    const uint32_t slice = std::min<uint32_t>(kReadSliceMs, static_cast<uint32_t>(m_quietMs));
    // A scanner may take seconds to begin its upload after its acknowledgement: until
    // the first stored data it gets twice the quiet time.
    while (since(lastData) < (stored.empty() ? 2 * m_quietMs : m_quietMs)) {
        if (control.stop && *control.stop)
            return EFetchEnd::STOPPED;
        if (progress.bytes > kMostDataBytes)
            return EFetchEnd::TOO_LARGE;
        if (since(start) > kMostFetchMs)
            return EFetchEnd::TOO_LONG;
        if (!m_link.ReadReply(slice, bytes, reply)) {
            if (!m_link.IsOpen())
                return EFetchEnd::GONE;
            continue;
        }
        progress.bytes += bytes.size();
        if (!TakeData(bytes, stored))
            continue;
        lastData = Clock::now();
        if (firstData == Clock::time_point())
            firstData = lastData;
        progress.entries = CountEntries(stored);
        progress.stillSending = since(firstData) > kStillSendingMs;
        if (control.progress)
            control.progress(progress);
    }
    return EFetchEnd::DONE;
}

bool CBatchDataFetch::TakeData(const std::string& bytes, std::string& stored)
{
    // A frame the read cut off at its end is completed by the next read: its rest must
    // not pass for stored data.
    const std::string block = m_cutFrame + bytes;
    m_cutFrame.clear();
    // A code the scanner read just now comes packed; it is no stored data, and it goes
    // to whoever shows the scanner's output instead of into the file.
    bool took = false;
    for (const SDevicePiece& piece : SplitDeviceOutput(block, m_cutFrame)) {
        if (piece.packet) {
            m_link.SetAside(piece.raw);
            continue;
        }
        stored += piece.raw;
        took = took || !piece.raw.empty();
    }
    return took;
}

void CBatchDataFetch::CutReply(const wxString& reply, std::vector<wxString>& entries)
{
    std::vector<wxString> pieces;
    size_t start = 0;
    for (;;) {
        const size_t next = reply.find("\r\n", start + 1);
        if (next == wxString::npos) {
            pieces.push_back(wxString());
            break;
        }
        pieces.push_back(reply.substr(start, next - start));
        start = next;
    }
    if (pieces.size() > 1)
        entries.insert(entries.end(), pieces.begin(), pieces.end());
    else
        entries.push_back(reply);
}

wxString CBatchDataFetch::DefaultPath()
{
    return CAppContext::GetInstance().GetDocumentFile("batch.txt");
}

bool CBatchDataFetch::AppendEntries(const wxString& path, const std::vector<wxString>& entries)
{
    wxLogNull quiet;  // a file that cannot be opened is not reported to the user
    wxFFile file;
    if (!file.Open(path, "ab"))
        return false;
    bool written = true;
    for (const wxString& entry : entries)
        written = file.Write(entry, wxConvUTF8) && written;
    return file.Close() && written;
}
