#include "UpgradeSwitches.h"

#include "app/AppContext.h"
#include "app/IniFile.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/wfstream.h>

namespace {

bool IsOne(wxFileConfig& file, const char* key)
{
    wxString value;
    return file.Read(wxString("cfg/") + key, &value) && value.Trim().Trim(false) == "1";
}

}  // namespace

SUpgradeSwitches ReadUpgradeSwitches(const wxString& path)
{
    SUpgradeSwitches switches;
    const auto file = ReadIniFile(path);
    switches.upgrade = IsOne(*file, "upgrade");
    switches.batchUpgrade = IsOne(*file, "batchupgrade");
    return switches;
}

wxString UpgradeSwitchesPath()
{
    return CAppContext::GetInstance().GetSettingsFile("server.cfg");
}
