// Fetching the codes a scanner stored in batch mode: "WLSBAT2" and "WLSSBT" must be
// acknowledged, then the scanner's data replies are cut into entries at CR LF and
// appended to "batch.txt" beside the program.
#pragma once

#include "cmdcenter/TerminalLink.h"

#include <wx/string.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// How far a fetch has come, for its progress line.
struct SFetchProgress {
    size_t bytes = 0;
    size_t entries = 0;
    // Data has come for longer than any scanner's memory takes to send: it is most
    // likely reading codes all the while, and the fetch will not end by itself.
    bool stillSending = false;
};

// How a fetch ended.
enum class EFetchEnd {
    DONE,       // no stored data came for the quiet time
    STOPPED,    // the user stopped it; what came is kept
    TOO_LARGE,  // cut off at the size bound
    TOO_LONG,   // cut off at the time bound
    REFUSED,    // the scanner did not acknowledge the requests
    GONE,       // the port went away
    BUSY        // another part kept the line
};

// What the caller lends a fetch: a stop flag, a wait that a stop ends early, and where
// progress goes. All optional.
struct SFetchControl {
    const std::atomic<bool>* stop = nullptr;
    std::function<bool(uint32_t ms)> wait;
    std::function<void(const SFetchProgress&)> progress;
};

class CBatchDataFetch {
public:
    // Time the scanner gets to start sending after "WLSSBT".
    static constexpr int kDataWaitMs = 1000;
    // A fetch waits this long for a part that holds the line for a single exchange.
    static constexpr uint32_t kLineWaitMs = 1500;
    // The stored data has ended when none has come for this long (the link's usual
    // silence time-out; twice as long before the first)...
    static constexpr int kQuietDataMs = 2000;
    // ...and a scanner that never stops is cut off after this much or this long; a
    // scanner's memory holds far less, and sends it far faster.
    static constexpr size_t kMostDataBytes = 16 * 1024 * 1024;
    static constexpr int kMostFetchMs = 30 * 60 * 1000;
    // Past this, data that keeps coming is taken for reads (see SFetchProgress).
    static constexpr int kStillSendingMs = 15000;
    // Each read lasts at most this long, so that a stop is seen soon.
    static constexpr uint32_t kReadSliceMs = 200;

    // `quietMs`: how long no stored data must come for the data to have ended.
    explicit CBatchDataFetch(ITerminalLink& link, int dataWaitMs = kDataWaitMs, int quietMs = kQuietDataMs)
        : m_link(link), m_dataWaitMs(dataWaitMs), m_quietMs(quietMs)
    {
    }

    // Sends one command in the request frame; true when the reply ends in ACK ";" 0x03.
    bool SendBatchCommand(const wxString& command);
    // Both requests, then every data reply until the line is quiet, a stop or a bound.
    // The replies are joined before they are cut at CR LF, so that a pause between two
    // blocks never splits a code. False, with `entries` empty, when the scanner did
    // not acknowledge both requests or another part held the line (End says which).
    bool Fetch(std::vector<wxString>& entries, const SFetchControl& control = SFetchControl());
    EFetchEnd End() const { return m_end; }
    bool IsLineBusy() const { return m_end == EFetchEnd::BUSY; }
    // Cuts one data reply into entries: each entry after the first starts with its
    // CR LF; what follows the last CR LF is dropped and an empty entry closes the
    // list. A reply with no CR LF after its first character is one entry.
    static void CutReply(const wxString& reply, std::vector<wxString>& entries);
    // "batch.txt" in the user's documents folder of the program.
    static wxString DefaultPath();
    // Appends the entries as UTF-8 text, nothing between them; false when the file
    // cannot be opened or written.
    static bool AppendEntries(const wxString& path, const std::vector<wxString>& entries);

private:
    // Reads data replies into `stored` until one of the ends; the bytes are joined.
    EFetchEnd ReadStoredData(std::string& stored, const SFetchControl& control);
    // Keeps the stored data of one reply in `stored`, setting aside the packed codes
    // in it; false when it held no stored data.
    bool TakeData(const std::string& bytes, std::string& stored);

    ITerminalLink& m_link;
    int m_dataWaitMs;
    int m_quietMs;
    EFetchEnd m_end = EFetchEnd::DONE;
    // The start of a packed frame that the last read cut off.
    std::string m_cutFrame;
};
