// What the button, file and value-list controls accept, send and commit, kept apart
// from their windows.
#pragma once

#include <wx/string.h>

#include <utility>
#include <vector>

// Settings the scanner reported again after a button command changed them itself.
using RereadValues = std::vector<std::pair<wxString, wxString>>;

// The file dialog filter of a file setting: one "(*.ext)|*.ext|" entry per item of its
// list (the label is the extension), then all files.
wxString BuildFileFilter(const wxString& settingsList);

// A list of files or values as one setting value: the entries joined with "|".
wxString JoinListEntries(const std::vector<wxString>& entries);
// The entries of such a value; empty pieces are dropped.
std::vector<wxString> SplitListEntries(const wxString& value);
// What a value list takes from the user: `candidate` without surrounding blanks, or
// empty when it is blank, holds the separator or is listed already.
wxString AcceptableListEntry(const std::vector<wxString>& entries, const wxString& candidate);
// The entries of a white-list text file, one a line, without blanks or repeats.
std::vector<wxString> ReadWhiteListText(const wxString& text);

// Sends a button's command to the scanner and, for the commands that change other
// settings in the scanner, asks for those again. False when the command itself was
// not acknowledged. Talks only to the engine, so it may run on a worker thread.
bool ExchangeButtonCommand(const wxString& commandName, RereadValues& reread);
// Puts the values asked for again into the engine's value map and onto every setting
// of that name, as the scanner's values, and refreshes their controls.
void TakeRereadValues(const RereadValues& reread);
