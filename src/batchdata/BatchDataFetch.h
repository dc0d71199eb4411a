// Fetching the codes a scanner stored in batch mode: "WLSBAT2" and "WLSSBT" must be
// acknowledged, then the scanner's data replies are cut into entries at CR LF and
// appended to "batch.txt" beside the program.
#pragma once

#include "TerminalLink.h"

#include <wx/string.h>

#include <string>
#include <vector>

class CBatchDataFetch {
public:
    // Time the scanner gets to start sending after "WLSSBT".
    static constexpr int kDataWaitMs = 1000;
    // A fetch waits this long for a part that holds the line for a single exchange.
    static constexpr uint32_t kLineWaitMs = 1500;
    // The stored data has ended when none has come for this long (the link's usual
    // silence time-out)...
    static constexpr int kQuietDataMs = 2000;
    // ...and a scanner that never stops is cut off after this much or this long; a
    // scanner's memory holds far less, and sends it far faster.
    static constexpr size_t kMostDataBytes = 16 * 1024 * 1024;
    static constexpr int kMostFetchMs = 30 * 60 * 1000;

    explicit CBatchDataFetch(ITerminalLink& link, int dataWaitMs = kDataWaitMs)
        : m_link(link), m_dataWaitMs(dataWaitMs)
    {
    }

    // Sends one command in the request frame; true when the reply ends in ACK ";" 0x03.
    bool SendBatchCommand(const wxString& command);
    // Both requests, then every data reply until the line is quiet. False, with
    // `entries` empty, when the scanner did not acknowledge both requests.
    // When another part holds the line, nothing is sent and IsLineBusy says so.
    bool Fetch(std::vector<wxString>& entries);
    bool IsLineBusy() const { return m_busyWith; }

    // Cuts one data reply into entries: each entry after the first starts with its
    // CR LF; what follows the last CR LF is dropped and an empty entry closes the
    // list. A reply with no CR LF after its first character is one entry.
    static void CutReply(const wxString& reply, std::vector<wxString>& entries);
    // "batch.txt" in the program directory.
    static wxString DefaultPath();
    // Appends the entries as UTF-8 text, nothing between them; false when the file
    // cannot be opened or written.
    static bool AppendEntries(const wxString& path, const std::vector<wxString>& entries);

private:
    // Cuts one data reply into entries, setting aside the packed codes in it; false
    // when it held no stored data.
    bool TakeData(const std::string& bytes, const wxString& reply, std::vector<wxString>& entries);

    ITerminalLink& m_link;
    int m_dataWaitMs;
    bool m_busyWith = false;
    // The start of a packed frame that the last read cut off.
    std::string m_cutFrame;
};
