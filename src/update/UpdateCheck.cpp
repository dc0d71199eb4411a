#include "UpdateCheck.h"

#include "InetFile.h"
#include "UpdateFiles.h"
#include "app/AppContext.h"
#include "app/IniFile.h"

#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/time.h>

namespace {

const char* const kDescriptionPath = "/Vostrel/updateVostrel.xml";
const size_t kMaxServerLength = 259;

}  // namespace

SUpdateSource ReadUpdateSource(const wxString& serverCfgPath)
{
    SUpdateSource source;
    if (!wxFileName::FileExists(serverCfgPath))
        return source;
    const auto file = ReadIniFile(serverCfgPath);
    const wxString server = file->Read("/cfg/url", wxString());
    if (!server.empty() && server.length() <= kMaxServerLength)
        source.descriptionAddress = server + kDescriptionPath;
    source.caFile = file->Read("/cfg/cafile", wxString());
    return source;
}

wxString UpdateDescriptionAddress(const wxString& settingsDirectory)
{
    return ReadUpdateSource(settingsDirectory + "server.cfg").descriptionAddress;
}

bool CheckForUpdate(SUpdateCheckResult& result, long stallSeconds)
{
    const CAppContext& context = CAppContext::GetInstance();
    const SUpdateSource source = ReadUpdateSource(context.GetSettingsFile("server.cfg"));
    if (!source.IsSet()) {
        result.noSource = true;
        return false;
    }
    const wxString folder = context.GetFolder("tmp");
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const long long tick = wxGetLocalTimeMillis().GetValue();
    const wxString destination = wxString::Format("%s%c%lld.tmp", folder, wxFileName::GetPathSeparator(), tick);

    CInetFile download(source.descriptionAddress, destination);
    download.SetStallSeconds(stallSeconds);
    download.SetCaFile(source.caFile);
    if (!download.Download(result.errorText))
        return false;

    CUpdateFiles files;
    files.SetProgramFolder(context.GetProgramDirectory());
    const bool loaded = files.Load(destination);
    wxRemoveFile(destination);
    if (!loaded)
        return false;
    wxString address;
    if (files.CountNewer(address) <= 0)
        return false;
    result.address = address;
    return true;
}

bool CanReplaceOwnFiles()
{
    const CAppContext& context = CAppContext::GetInstance();
    return context.GetDataDirectory() == context.GetProgramDirectory();
}
