// Asking the update server whether a newer version of the program exists.
#pragma once

#include <wx/string.h>

// Where the update description is fetched: the "url" of section "cfg" in
// "server.cfg" in `programDirectory` (1 to 259 characters) followed by
// "/Vostrel/updateVostrel.xml", else the built-in server's description.
wxString UpdateDescriptionAddress(const wxString& programDirectory);

struct SUpdateCheckResult {
    wxString address;    // where the newer version is, when there is one
    wxString errorText;  // why the check failed, when it did and can say why
};

// Fetches the description into the program's "tmp" folder, reads it, removes the
// file and compares. True when a newer version exists. Touches no window, so it
// can run under the wait dialog.
bool CheckForUpdate(SUpdateCheckResult& result, long stallSeconds = 20);
