#include "InetFile.h"

#include "app/Log.h"
#include "app/UiText.h"

#include <curl/curl.h>
#include <wx/filefn.h>

#include <cstdio>

namespace {

// Chunks of this size are written and reported one at a time.
const long kChunkBytes = 1024;
const long kConnectSeconds = 15;
const long kMaxRedirects = 5;

// curl_global_init is not thread-safe in this libcurl; the first use does it once.
void InitCurlOnce()
{
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)done;
}

struct SCurlHeaders {
    curl_slist* list = nullptr;
    ~SCurlHeaders() { curl_slist_free_all(list); }
    void Add(const char* header) { list = curl_slist_append(list, header); }
};

}  // namespace

CInetFile::CInetFile(const wxString& address, const wxString& destination, bool appendUpdateSuffix)
    : m_address(address), m_destination(destination), m_appendUpdateSuffix(appendUpdateSuffix)
{
}

void CInetFile::SetProgress(Progress progress, int index)
{
    m_progress = std::move(progress);
    m_index = index;
}

wxString CInetFile::GetTargetPath() const
{
    return m_appendUpdateSuffix ? m_destination + ".update" : m_destination;
}

size_t CInetFile::OnBody(char* data, size_t size, size_t count, void* self)
{
    auto* file = static_cast<CInetFile*>(self);
    const size_t bytes = size * count;
    return file->WriteChunk(data, bytes) ? bytes : 0;
}

// The status is known once the body starts; only a 200 answer makes a file.
bool CInetFile::WriteChunk(const char* data, size_t bytes)
{
    curl_easy_getinfo(static_cast<CURL*>(m_curl), CURLINFO_RESPONSE_CODE, &m_status);
    if (m_status != 200 || (m_maxBytes != 0 && m_received + bytes > m_maxBytes))
        return false;
    if (!m_file) {
        m_file = std::fopen(GetTargetPath().utf8_str(), "wb");
        if (!m_file) {
            m_cannotWrite = true;
            return false;
        }
    }
    if (std::fwrite(data, 1, bytes, m_file) != bytes) {
        m_cannotWrite = true;
        return false;
    }
    m_received += bytes;
    m_lastActivity = std::chrono::steady_clock::now();
    if (m_progress)
        m_progress(m_index, bytes);
    return true;
}

// libcurl's own low-speed limit averages over several seconds, so a server that
// stops after a few bytes would hold the wait dialog far longer than asked; the
// time since the last byte is measured here instead.
int CInetFile::OnProgress(void* self, int64_t, int64_t, int64_t, int64_t)
{
    auto* file = static_cast<CInetFile*>(self);
    const auto silent = std::chrono::steady_clock::now() - file->m_lastActivity;
    return silent > std::chrono::seconds(file->m_stallSeconds) ? 1 : 0;
}

bool CInetFile::Download(wxString& errorText)
{
    m_failureReason.clear();
    const bool secure = m_address.Lower().StartsWith("https://");
    if (!secure && !m_address.Lower().StartsWith("http://")) {
        m_failureReason = "only http and https addresses are fetched";
        return false;
    }
    InitCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return false;
    m_curl = curl;
    m_received = 0;
    m_status = 0;
    m_cannotWrite = false;
    m_lastActivity = std::chrono::steady_clock::now();
    SCurlHeaders headers;
    headers.Add("Accept: */*");
    headers.Add("User-Agent: Update_Vostrel");
    // A reload, never an answer from a cache on the way.
    headers.Add("Cache-Control: no-cache");
    headers.Add("Pragma: no-cache");
    const wxScopedCharBuffer url = m_address.utf8_str();
    curl_easy_setopt(curl, CURLOPT_URL, url.data());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // Mirrors answer with redirects; one that began secure stays secure.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    const wxScopedCharBuffer caFile = m_caFile.utf8_str();
    if (!m_caFile.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.data());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Update - Vostrel");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.list);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kChunkBytes);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CInetFile::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CInetFile::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    const CURLcode result = curl_easy_perform(curl);
    if (m_status == 0)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &m_status);
    curl_easy_cleanup(curl);
    m_curl = nullptr;

    // An empty 200 answer never reached the body callback.
    if (result == CURLE_OK && m_status == 200 && !m_file)
        m_file = std::fopen(GetTargetPath().utf8_str(), "wb");
    const bool closed = m_file && std::fclose(m_file) == 0;
    const bool created = m_file != nullptr;
    m_file = nullptr;
    if (m_progress)
        m_progress(m_index, 0);

    if (result == CURLE_OK && m_status == 200 && closed)
        return true;
    VLOG(LOG_INFO, "download of %s failed: %s, status %ld", U8(m_address), curl_easy_strerror(result), m_status);
    if (m_status != 0 && m_status != 200)
        m_failureReason = wxString::Format("the server answered HTTP %ld", m_status);
    else if (m_cannotWrite)
        m_failureReason = "the download could not be written";
    else
        m_failureReason = curl_easy_strerror(result);
    if (created)
        wxRemoveFile(GetTargetPath());
    if (m_status != 0 && m_status != 200)
        errorText = GetUiText("ID_STRING_UPDATE_INFO_GETSERVER", "获取服务器信息失败!");
    else if (!m_cannotWrite && result != CURLE_OK)
        errorText = GetUiText("ID_STRING_UPDATE_INFO_CONNECT", "无法连接更新服务器!");
    return false;
}
