// A value bound for the scanner goes out in the program's one narrow encoding. A
// character outside it would arrive as "?" and set something nobody chose, so such
// a value is refused, typed or read from a file, before it reaches a setting.
#pragma once

#include <wx/string.h>

// Whether `value` reaches the scanner as written.
bool IsSendableValue(const wxString& value);
// The message refusing `value` for the setting `commandName`: the setting's caption
// where a page shows it, its command name, and the first character that cannot go.
wxString UnsendableValueMessage(const wxString& commandName, const wxString& value);
// Shows that message as a warning.
void ReportUnsendableValue(const wxString& commandName, const wxString& value);
