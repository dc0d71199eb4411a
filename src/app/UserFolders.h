// Where the program finds what it ships and keeps what belongs to the user. The
// shipped data (Config, Images, Doc, lua) is read-only; what the user changes lives
// in the folders of the XDG base-directory rules, so that an installed program never
// writes beside its executable.
#pragma once

#include <wx/string.h>

#include <functional>

struct SUserFolders {
    wxString config;     // settings the user changes: "hbs.ini", "server.cfg", the batch upgrade's INI files
    wxString state;      // logs, crash dumps, the command history
    wxString cache;      // temporary files
    wxString documents;  // pictures, sheets, "batch.txt"
    wxString home;       // the home folder the defaults above hang from
};

// The value of an environment variable, empty when unset.
using EnvironmentLookup = std::function<wxString(const char* name)>;

// Each folder ends with the path separator: "$XDG_CONFIG_HOME/vostrel/" (default
// "~/.config/vostrel/"), "$XDG_STATE_HOME/vostrel/" (default "~/.local/state/vostrel/"),
// "$XDG_CACHE_HOME/vostrel/" (default "~/.cache/vostrel/") and "<documents>/Vostrel/",
// where <documents> is $XDG_DOCUMENTS_DIR, else `documentsDirectory`, else the home
// folder. A relative XDG value is ignored, as the rules ask.
SUserFolders ResolveUserFolders(const EnvironmentLookup& environment, const wxString& documentsDirectory);
// The same from this process's environment.
SUserFolders ResolveUserFolders();

// A folder that could not be made, why, and what stands in for it.
struct SFolderProblem {
    wxString folder;
    wxString reason;
    wxString standIn;
    bool Happened() const { return !folder.empty(); }
};

// Makes the config, state and cache folders. One that cannot be made (a home folder
// that does not exist, a path through a file, no permission) is replaced by a private
// folder under the system's temporary folder, so the program still works. The first
// such folder is reported; the others fail for the same reason.
SFolderProblem PrepareUserFolders(SUserFolders& folders);
// The one message the user gets for it, in the current language.
wxString FolderProblemMessage(const SFolderProblem& problem);

// Gives the user a copy of each shipped default settings file ("*.ini" at the top of
// the data folder) that they do not have yet; the user's own copies are never touched.
void SeedUserSettings(const wxString& dataDirectory, const wxString& configDirectory);

// The shipped data of a program in `programDirectory`: the folder itself when it holds
// "Config" (the build tree, a portable copy), else "../share/vostrel/" beside it (an
// installed or unpacked package). Ends with the path separator.
wxString FindDataDirectory(const wxString& programDirectory);
