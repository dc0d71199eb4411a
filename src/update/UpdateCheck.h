// Asking the update server whether a newer version of the program exists.
#pragma once

#include <wx/string.h>

// Where updates come from: "server.cfg" in the user's settings folder, section "cfg":
// "url" the server's base address (1 to 259 characters), "cafile" the certificates
// a private https server is checked against (optional).
struct SUpdateSource {
    wxString descriptionAddress;  // the base address + "/Vostrel/updateVostrel.xml"; empty: none set
    wxString caFile;
    bool IsSet() const { return !descriptionAddress.empty(); }
};
SUpdateSource ReadUpdateSource(const wxString& serverCfgPath);

// The description's address from "server.cfg" in `settingsDirectory`; empty when no
// server is set (the shipped default: there is no built-in server).
wxString UpdateDescriptionAddress(const wxString& settingsDirectory);

struct SUpdateCheckResult {
    wxString address;     // where the newer version is, when there is one
    wxString errorText;   // why the check failed, when it did and can say why
    bool noSource = false;  // no update server is set
};

// Fetches the description into the program's "tmp" folder, reads it, removes the
// file and compares. True when a newer version exists. Touches no window, so it
// can run under the wait dialog.
bool CheckForUpdate(SUpdateCheckResult& result, long stallSeconds = 20);

// Whether this copy may replace its own files with a new version: only a portable
// copy, whose data lies beside the programs. An installed copy (data in
// ../share/vostrel) belongs to the package manager.
bool CanReplaceOwnFiles();
