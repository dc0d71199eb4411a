// The rows of a code identifier table: which symbologies it lists, when the table
// counts as changed, and what it commits.
#pragma once

#include <wx/string.h>

#include <vector>

class CCmdNameXmlInfo;

struct SCodeIdRow {
    wxString label;        // the symbology
    wxString initialText;  // the identifier the row was filled with
    wxString text;         // the identifier as the user left it
};

// One row per item of `settingsList` whose value the model offers in `deviceSettingsList`.
std::vector<SCodeIdRow> BuildCodeIdRows(const wxString& settingsList, const wxString& deviceSettingsList);
bool AnyCodeIdRowChanged(const std::vector<SCodeIdRow>& rows);
// Every row back to the identifier it was filled with.
void ResetCodeIdRows(std::vector<SCodeIdRow>& rows);
// The rows take the identifiers of a table value (as CommitCodeIdRows leaves it); a
// value that does not fit the rows resets them instead.
void TakeCodeIdValue(std::vector<SCodeIdRow>& rows, const wxString& value);
// The table is pending exactly while a row differs from its first text: then the
// setting holds all identifiers joined with "|" and shows the changed rows; once
// every row is back it holds the device's value again and leaves the list.
void CommitCodeIdRows(CCmdNameXmlInfo& definition, const std::vector<SCodeIdRow>& rows);
