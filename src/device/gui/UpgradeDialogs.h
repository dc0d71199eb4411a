// The firmware upgrade windows as the other pages open them.
#pragma once

#include <wx/string.h>

class wxWindow;

// Runs the single upgrade of the scanner that is open now, named `deviceName`.
void ShowDeviceUpgradeDialog(wxWindow* parent, const wxString& deviceName);
// Runs the batch upgrade of every plugged-in scanner.
void ShowBatchUpgradeDialog(wxWindow* parent);
