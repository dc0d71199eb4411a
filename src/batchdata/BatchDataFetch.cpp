#include "BatchDataFetch.h"

#include "AppContext.h"
#include "Log.h"
#include "TerminalText.h"

#include <wx/ffile.h>
#include <wx/log.h>

#include <algorithm>
#include <chrono>

namespace {

const wxUniChar kAck(0x06);

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

bool CBatchDataFetch::Fetch(std::vector<wxString>& entries)
{
    entries.clear();
    m_cutFrame.clear();
    // The whole fetch is one operation on the line: nothing else may read the
    // scanner's data replies, nor write between the two requests and the data.
    CLineHold hold = m_link.TakeLine(LineUsers::kBatchFetch, kLineWaitMs);
    if (!hold) {
        m_busyWith = true;
        return false;
    }
    if (!m_link.IsOpen() || !SendBatchCommand("WLSBAT2") || !SendBatchCommand("WLSSBT"))
        return false;
    // The scanner gets its time to start sending. The data ends when no stored data
    // has come for a while: codes it reads meanwhile keep the line busy but are no
    // stored data, and a scanner that never stops sending is cut off by the bounds.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastData = start + std::chrono::milliseconds(m_dataWaitMs);
    size_t total = 0;
    std::string bytes;
    wxString reply;
    while (Clock::now() - lastData < std::chrono::milliseconds(kQuietDataMs)) {
        if (total > kMostDataBytes || Clock::now() - start > std::chrono::milliseconds(kMostFetchMs)) {
            VLOG(LOG_INFO, "stored data cut off after %u bytes", static_cast<unsigned>(total));
            break;
        }
        if (!m_link.ReadReply(0, bytes, reply))
            break;
        total += bytes.size();
        if (TakeData(bytes, reply, entries))
            lastData = Clock::now();
    }
    m_link.SetAside(m_cutFrame);
    m_cutFrame.clear();
    return true;
}

bool CBatchDataFetch::TakeData(const std::string& bytes, const wxString& reply, std::vector<wxString>& entries)
{
    // A frame the read cut off at its end is completed by the next read: its rest must
    // not pass for stored data.
    const std::string block = m_cutFrame + bytes;
    const bool continued = !m_cutFrame.empty();
    m_cutFrame.clear();
    std::string rest;
    const std::vector<SDevicePiece> pieces = SplitDeviceOutput(block, rest);
    const bool onlyPlain = !continued && rest.empty() &&
                           std::none_of(pieces.begin(), pieces.end(), [](const SDevicePiece& piece) {
                               return piece.packet;
                           });
    if (onlyPlain) {
        CutReply(reply, entries);
        return true;
    }
    // A code the scanner read just now comes packed; it is no stored data, and it goes
    // to whoever shows the scanner's output instead of into the file.
    std::string stored;
    for (const SDevicePiece& piece : pieces) {
        if (piece.packet)
            m_link.SetAside(piece.raw);
        else
            stored += piece.raw;
    }
    m_cutFrame = rest;
    if (stored.empty())
        return false;
    CutReply(CharactersOfBytes(stored), entries);
    return true;
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
