// "server.cfg" beside the program decides whether the command page offers the
// firmware upgrade of one scanner and the batch upgrade: section "cfg", keys
// "upgrade" and "batchupgrade", each shown only when it is 1.
#pragma once

#include <wx/string.h>

struct SUpgradeSwitches {
    bool upgrade = false;
    bool batchUpgrade = false;
};

// A missing or unreadable file hides both.
SUpgradeSwitches ReadUpgradeSwitches(const wxString& path);
// "server.cfg" in the program directory.
wxString UpgradeSwitchesPath();
