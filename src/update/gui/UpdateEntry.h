// The "check for updates" entry of the main window: ask the server, tell the user,
// and on a yes start the updater and close the program.
#pragma once

#include <wx/string.h>

#include <functional>

class wxWindow;

// Runs the check under the wait dialog and acts on its answer. `mainWindow` is
// closed once the updater has started.
void RunUpdateEntry(wxWindow* mainWindow);

// The updater's command line for the program folder, version and new version's address
// (and the certificates of a private https server, when "server.cfg" names them).
wxString UpdaterCommand(const wxString& programDirectory, const wxString& version, const wxString& address,
                        const wxString& caFile = wxString());

// How the updater is started: the shell in the program, a recorder in tests.
// Returns false when it could not be started.
using UpdaterLauncher = std::function<bool(const wxString& command)>;
void SetUpdaterLauncher(UpdaterLauncher launcher);
