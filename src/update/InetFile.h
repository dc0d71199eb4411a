// Fetching one file over HTTP into a local file, chunk by chunk, as the update
// check and the updater do.
#pragma once

#include <wx/string.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

class CInetFile {
public:
    // After every chunk: the request's index and the chunk's size; at the end the
    // index with size 0. Runs on the downloading thread.
    using Progress = std::function<void(int index, size_t chunkBytes)>;

    CInetFile(const wxString& address, const wxString& destination, bool appendUpdateSuffix = false);

    void SetProgress(Progress progress, int index = 0);
    // How long the server may send nothing before the download is given up.
    void SetStallSeconds(long seconds) { m_stallSeconds = seconds; }
    // The certificates an https server is checked against instead of the system's
    // (a private update server with its own authority).
    void SetCaFile(const wxString& path) { m_caFile = path; }
    // A body larger than this is given up (0: no bound).
    void SetMaxBytes(uint64_t bytes) { m_maxBytes = bytes; }

    // Fetches the address into the destination, following redirects (an https
    // address only to https). Only "http://" and "https://" addresses are taken
    // (anything else fails with `errorText` left as it is); a status other than 200
    // gives "ID_STRING_UPDATE_INFO_GETSERVER", a server that cannot be reached or
    // stops sending its own text. A failed download leaves no destination file.
    bool Download(wxString& errorText);

    // Where the file goes: the destination, with ".update" when asked for.
    wxString GetTargetPath() const;
    uint64_t GetReceivedBytes() const { return m_received; }
    long GetStatus() const { return m_status; }
    // Why the last Download failed, in English for logs and the updater's messages;
    // empty after a success.
    const wxString& GetFailureReason() const { return m_failureReason; }

private:
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, int64_t, int64_t, int64_t, int64_t);
    bool WriteChunk(const char* data, size_t bytes);

    wxString m_address;
    wxString m_destination;
    bool m_appendUpdateSuffix;
    Progress m_progress;
    int m_index = 0;
    long m_stallSeconds = 20;
    wxString m_caFile;
    uint64_t m_maxBytes = 0;
    uint64_t m_received = 0;
    long m_status = 0;
    void* m_curl = nullptr;   // during Download only
    FILE* m_file = nullptr;   // opened at the first byte of a 200 answer
    bool m_cannotWrite = false;
    wxString m_failureReason;
    std::chrono::steady_clock::time_point m_lastActivity;
};
