#include "UpdateCheck.h"

#include "AppContext.h"
#include "InetFile.h"
#include "IniFile.h"
#include "UpdateFiles.h"

#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/time.h>

namespace {

const char* const kDescriptionPath = "/Vostrel/updateVostrel.xml";
// The maker's own server, used when "server.cfg" names none.
const char* const kBuiltInServer = "http://update.vostrel.example";
const size_t kMaxServerLength = 259;

}  // namespace

wxString UpdateDescriptionAddress(const wxString& programDirectory)
{
    const wxString path = programDirectory + "server.cfg";
    wxString server;
    if (wxFileName::FileExists(path)) {
        server = ReadIniFile(path)->Read("/cfg/url", wxString());
    }
    if (server.empty() || server.length() > kMaxServerLength)
        server = kBuiltInServer;
    return server + kDescriptionPath;
}

bool CheckForUpdate(SUpdateCheckResult& result, long stallSeconds)
{
    const CAppContext& context = CAppContext::GetInstance();
    const wxString folder = context.GetFolder("tmp");
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const long long tick = wxGetLocalTimeMillis().GetValue();
    const wxString destination = wxString::Format("%s%c%lld.tmp", folder, wxFileName::GetPathSeparator(), tick);

    CInetFile download(UpdateDescriptionAddress(context.GetProgramDirectory()), destination);
    download.SetStallSeconds(stallSeconds);
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
