// Reading everything the tool needs from a scanner that has just been chosen: its
// current values, defaults and ranges into the command map, its frame size and its
// data-format state into the engine. The program runs it under its wait dialog; the
// command-line tool runs it directly.
#pragma once

#include <wx/string.h>

struct DeviceEntry;

// Opens `entry` and reads it. True with the scanner left open; false with it closed.
// `outputFile`, when not empty, receives every value, default and range read.
bool RunConnectSequence(DeviceEntry* entry, const wxString& outputFile = wxString());

// Asks the open scanner how many characters one request may carry ("@BUFQRY"); the
// engine keeps its limit when the scanner gives no number.
void ReadPayloadLimit();
