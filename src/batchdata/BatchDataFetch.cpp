#include "BatchDataFetch.h"

#include "AppContext.h"
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
    if (!m_link.ReadReply(0, bytes, reply))
        return false;
    return reply.length() >= 3 && reply[reply.length() - 3] == kAck;
}

bool CBatchDataFetch::Fetch(std::vector<wxString>& entries)
{
    entries.clear();
    // The whole fetch is one operation on the line: nothing else may read the
    // scanner's data replies, nor write between the two requests and the data.
    CLineHold hold = m_link.TakeLine(LineUsers::kBatchFetch, kLineWaitMs);
    if (!hold) {
        m_busyWith = true;
        return false;
    }
    if (!m_link.IsOpen() || !SendBatchCommand("WLSBAT2") || !SendBatchCommand("WLSSBT"))
        return false;
    // The scanner gets its time to start sending: the first read waits for it, and
    // every later one ends the data after the link's silence time-out.
    const auto firstDataBy = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_dataWaitMs);
    std::string bytes;
    wxString reply;
    bool any = false;
    for (;;) {
        if (m_link.ReadReply(0, bytes, reply)) {
            any = true;
            TakeData(bytes, reply, entries);
        } else if (any || std::chrono::steady_clock::now() >= firstDataBy) {
            break;
        }
    }
    return true;
}

void CBatchDataFetch::TakeData(const std::string& bytes, const wxString& reply, std::vector<wxString>& entries)
{
    std::string rest;
    const std::vector<SDevicePiece> pieces = SplitDeviceOutput(bytes, rest);
    const bool onlyPlain = rest.empty() && std::none_of(pieces.begin(), pieces.end(), [](const SDevicePiece& piece) {
        return piece.packet;
    });
    if (onlyPlain) {
        CutReply(reply, entries);
        return;
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
    m_link.SetAside(rest);
    if (!stored.empty())
        CutReply(CharactersOfBytes(stored), entries);
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
    return CAppContext::GetInstance().GetProgramDirectory() + "batch.txt";
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
