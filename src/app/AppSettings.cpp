#include "AppSettings.h"

#include "IniFile.h"
#include "Log.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <climits>
#include <memory>

namespace {

std::unique_ptr<CAppSettings> g_settings;

const char kSection[] = "/cfg/";

int ReadInt(wxFileConfig& ini, const char* key, const char* fallback)
{
    return ParseProfileInt(ini.Read(wxString(kSection) + key, fallback));
}

}  // namespace

CAppSettings& CAppSettings::GetInstance()
{
    if (!g_settings)
        g_settings.reset(new CAppSettings());
    return *g_settings;
}

void CAppSettings::ResetInstance()
{
    g_settings.reset();
}

int ParseProfileInt(const wxString& text)
{
    const wxString buffer = text.Left(15);
    size_t i = 0;
    while (i < buffer.length() && (buffer[i] == ' ' || buffer[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < buffer.length() && (buffer[i] == '-' || buffer[i] == '+'))
        negative = buffer[i++] == '-';
    long long value = 0;
    for (; i < buffer.length() && buffer[i] >= '0' && buffer[i] <= '9'; ++i) {
        value = value * 10 + (buffer[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

void CAppSettings::LoadAppSettings(const wxString& iniPath)
{
    m_path = iniPath;
    m_values = SAppSettings();
    wxLogNull quiet;  // a broken file reads as defaults, without a pop-up
    if (wxFileName::FileExists(iniPath)) {
        const auto ini = ReadIniFile(iniPath);
        m_values.imageX = ReadInt(*ini, "imageX", "0");
        m_values.imageY = ReadInt(*ini, "imageY", "0");
        m_values.imageWidth = ReadInt(*ini, "imageWidth", "0");
        m_values.imageHeight = ReadInt(*ini, "imageHeight", "0");
        m_values.logLevel = ReadInt(*ini, "LogLevel", "-1");
        m_values.quickCfg = ReadInt(*ini, "QuickCfg", "0");
        m_values.checkCpu = ReadInt(*ini, "CheckCpu", "0");
        const wxString lang = ini->Read(wxString(kSection) + "lang", wxString());
        if (lang.length() >= 1 && lang.length() <= 259)
            m_values.lang = lang;
        m_values.serialPorts = ini->Read(wxString(kSection) + "SerialPorts", wxString());
        m_values.lastFolder = ini->Read(wxString(kSection) + "LastFolder", wxString());
        // Network ports under TLS check the server's certificate against this authority.
        hbds_set_tls_files(ini->Read(wxString(kSection) + "TlsCaFile", wxString()).utf8_str(), nullptr, nullptr);
    } else {
        m_values.logLevel = -1;
    }
    if (m_values.logLevel < 1 || m_values.logLevel > 6)
        m_values.logLevel = 2;
    if (m_values.quickCfg != 0 && m_values.quickCfg != 1)
        m_values.quickCfg = 0;
    HBSetLogLevel(m_values.logLevel);
    VLOG(LOG_DETAIL, "settings %s: LogLevel=%i QuickCfg=%i CheckCpu=%i", U8(iniPath), m_values.logLevel,
         m_values.quickCfg, m_values.checkCpu);
}

bool CAppSettings::SaveAppSettings() const
{
    wxLogNull quiet;
    auto ini = ReadIniFile(m_path);
    const struct {
        const char* key;
        int value;
    } keys[] = {{"imageX", m_values.imageX},     {"imageY", m_values.imageY},
                {"imageWidth", m_values.imageWidth}, {"imageHeight", m_values.imageHeight},
                {"LogLevel", m_values.logLevel}, {"QuickCfg", m_values.quickCfg},
                {"CheckCpu", m_values.checkCpu}};
    for (const auto& key : keys)
        ini->Write(wxString(kSection) + key.key, wxString::Format("%i", key.value));
    const bool written = WriteIniFile(*ini, m_path);
    if (!written)
        VLOG(LOG_ERROR, "%s %s %s", "Save", U8(m_path), "ERROR");
    return written;
}

bool CAppSettings::SaveLanguage(const wxString& language) const
{
    wxLogNull quiet;
    auto ini = ReadIniFile(m_path);
    ini->Write(wxString(kSection) + "lang", language);
    return WriteIniFile(*ini, m_path);
}

bool CAppSettings::SaveLastFolder(const wxString& folder)
{
    m_values.lastFolder = folder;
    if (m_path.empty())
        return false;
    wxLogNull quiet;
    auto ini = ReadIniFile(m_path);
    ini->Write(wxString(kSection) + "LastFolder", folder);
    return WriteIniFile(*ini, m_path);
}
