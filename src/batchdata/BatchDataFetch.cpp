#include "BatchDataFetch.h"

#include "AppContext.h"
#include "TerminalText.h"

#include <wx/ffile.h>
#include <wx/log.h>

#include <chrono>
#include <thread>

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
    if (!m_link.IsOpen() || !SendBatchCommand("WLSBAT2") || !SendBatchCommand("WLSSBT"))
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(m_dataWaitMs));
    std::string bytes;
    wxString reply;
    while (m_link.ReadReply(0, bytes, reply))
        CutReply(reply, entries);
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
