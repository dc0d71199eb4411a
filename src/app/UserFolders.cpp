#include "UserFolders.h"

#include "UiText.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kFolderName[] = "vostrel";
const char kDocumentsName[] = "Vostrel";

wxString WithSeparator(const wxString& folder)
{
    return folder.EndsWith(wxFILE_SEP_PATH) ? folder : folder + wxFILE_SEP_PATH;
}

// An XDG variable counts only when it holds an absolute path.
wxString XdgBase(const EnvironmentLookup& environment, const char* variable, const wxString& fallback)
{
    const wxString value = environment(variable);
    return value.StartsWith("/") ? value : fallback;
}

wxString ProcessEnvironment(const char* name)
{
    wxString value;
    wxGetEnv(name, &value);
    // Without HOME (a service, a stripped environment) the account's own home counts.
    if (value.empty() && wxString(name) == "HOME")
        value = wxGetUserHome();
    return value;
}

// Makes `folder` with its parents. A folder under the home folder is not made when the
// home folder itself is missing: creating someone's home is not this program's business.
bool MakeFolder(const wxString& folder, const wxString& home, wxString& reason)
{
    if (!home.empty() && folder.StartsWith(WithSeparator(home)) && !wxDirExists(home)) {
        reason = "the home folder " + home + " does not exist";
        return false;
    }
    wxLogNull quiet;  // the reason is told once, by the caller
    errno = 0;
    if (!wxDirExists(folder) && !wxFileName::Mkdir(folder, 0700, wxPATH_MKDIR_FULL)) {
        reason = errno != 0 ? wxString::FromUTF8(std::strerror(errno)) : wxString("it cannot be created");
        return false;
    }
    if (access(folder.utf8_str(), W_OK | X_OK) != 0) {
        reason = "it cannot be written";
        return false;
    }
    return true;
}

// A private stand-in under the temporary folder, one per user.
wxString StandInFolder(const char* kind)
{
    const wxString base = wxString::Format("%s/vostrel-%lu/", wxFileName::GetTempDir(), static_cast<unsigned long>(getuid()));
    const wxString folder = base + kind + wxFILE_SEP_PATH;
    wxLogNull quiet;
    wxFileName::Mkdir(folder, 0700, wxPATH_MKDIR_FULL);
    return folder;
}

}  // namespace

SUserFolders ResolveUserFolders(const EnvironmentLookup& environment, const wxString& documentsDirectory)
{
    SUserFolders folders;
    folders.home = environment("HOME");
    const wxString home = WithSeparator(folders.home);
    folders.config = WithSeparator(XdgBase(environment, "XDG_CONFIG_HOME", home + ".config") + "/" + kFolderName);
    folders.state = WithSeparator(XdgBase(environment, "XDG_STATE_HOME", home + ".local/state") + "/" + kFolderName);
    folders.cache = WithSeparator(XdgBase(environment, "XDG_CACHE_HOME", home + ".cache") + "/" + kFolderName);
    const wxString documents = XdgBase(environment, "XDG_DOCUMENTS_DIR",
                                       documentsDirectory.StartsWith("/") ? documentsDirectory : folders.home);
    folders.documents = WithSeparator(documents + "/" + kDocumentsName);
    return folders;
}

SUserFolders ResolveUserFolders()
{
    wxString documents;
    {
        wxLogNull quiet;  // a home folder without "user-dirs.dirs" is ordinary
        documents = wxStandardPaths::Get().GetDocumentsDir();
    }
    return ResolveUserFolders(&ProcessEnvironment, documents);
}

SFolderProblem PrepareUserFolders(SUserFolders& folders)
{
    struct SEntry {
        wxString* folder;
        const char* kind;
    };
    SFolderProblem problem;
    for (const SEntry& entry : {SEntry{&folders.config, "config"}, SEntry{&folders.state, "state"},
                                SEntry{&folders.cache, "cache"}}) {
        wxString reason;
        if (MakeFolder(*entry.folder, folders.home, reason))
            continue;
        const wxString standIn = StandInFolder(entry.kind);
        if (!problem.Happened())
            problem = SFolderProblem{*entry.folder, reason, standIn};
        *entry.folder = standIn;
    }
    return problem;
}

wxString FolderProblemMessage(const SFolderProblem& problem)
{
    const wxString format = GetUiText("ID_FOLDER_UNUSABLE",
                                      "Vostrel cannot use the folder %s: %s.\nSettings, logs and temporary files are kept "
                                      "in %s for now; make the folder usable or set XDG_CONFIG_HOME.");
    return wxString::Format(format, problem.folder, problem.reason, problem.standIn);
}

void SeedUserSettings(const wxString& dataDirectory, const wxString& configDirectory)
{
    wxLogNull quiet;  // a default that cannot be copied leaves the built-in values
    wxArrayString defaults;
    if (!wxDirExists(dataDirectory))
        return;
    wxDir::GetAllFiles(dataDirectory, &defaults, "*.ini", wxDIR_FILES);
    for (const wxString& path : defaults) {
        const wxString target = WithSeparator(configDirectory) + wxFileName(path).GetFullName();
        if (!wxFileExists(target))
            wxCopyFile(path, target, false);
    }
}

wxString FindDataDirectory(const wxString& programDirectory)
{
    const wxString beside = WithSeparator(programDirectory);
    if (wxDirExists(beside + "Config"))
        return beside;
    wxFileName shared(beside + "../share/vostrel/");
    shared.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    return WithSeparator(shared.GetPath());
}
