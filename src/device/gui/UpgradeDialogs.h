// The firmware upgrade windows as the other pages open them.
#pragma once

#include <wx/string.h>

struct DeviceEntry;
class wxWindow;

// Runs the single upgrade of the scanner named `deviceName`: the one open now, or
// `toOpen`, which the download opens first and closes after it, off the window thread.
void ShowDeviceUpgradeDialog(wxWindow* parent, const wxString& deviceName, DeviceEntry* toOpen = nullptr);
// Runs the batch upgrade of every plugged-in scanner.
void ShowBatchUpgradeDialog(wxWindow* parent);
