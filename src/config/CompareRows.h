// What the comparison dialogs list: every transferred setting of the pages beside
// a reference value (its default, or the value a configuration file holds), and
// taking the reference values of chosen rows over as the user's own changes.
#pragma once

#include <wx/string.h>

#include <map>
#include <vector>

class CCmdNameXmlInfo;

// Command name to value text, as a configuration file holds them.
using CompareFileValues = std::map<wxString, wxString>;

struct SCompareRow {
    CCmdNameXmlInfo* setting = nullptr;  // not owned
    wxString reference;                  // shown as the setting shows values; "NULL" for none
    wxString current;
    bool equal = false;
    bool absent = false;  // the file does not carry the setting: neither equal nor a difference
};

// The text a comparison shows for `value` of `setting`: its label, or "NULL".
wxString ComparedValueText(const CCmdNameXmlInfo& setting, const wxString& value);

// Rows of the settings whose value equals (`showMatched`) or differs from
// (`showUnmatched`) their default, in page order.
std::vector<SCompareRow> CompareWithDefaults(bool showUnmatched, bool showMatched);
// The same against a file's values. Settings the file does not carry (a file saved
// by this program leaves some out) follow the others, shown as "not in the file",
// with the differences.
std::vector<SCompareRow> CompareWithFile(const CompareFileValues& file, bool showUnmatched, bool showMatched);

// Reads the "Command" entries of a configuration file of any model. False (with
// the failing step logged and `values` empty) when it cannot be read.
bool ReadCompareFile(const wxString& path, CompareFileValues& values);

// Resets each of `ticked` whose value differs from its default; the number changed.
int CloneDefaults(const std::vector<CCmdNameXmlInfo*>& ticked);
// Gives each of `ticked` the file's value where the file holds another one.
int CloneFromFile(const std::vector<CCmdNameXmlInfo*>& ticked, const CompareFileValues& file);
