// The items of a setting's list of choices ("0:Off|1:On"), as the list controls show
// them. Every list control parses the same way, so the rules live here once.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <vector>

struct SSettingsListItem {
    int32_t ItemValue = 0;   // the value text read as a decimal number, 0 when not numeric
    wxString ItemValueText;  // the value as written
    wxString ItemExtra;      // an optional third part after a second ':'
    wxString ItemLabel;
};

// Items written value first ("value:label[:extra]"); a piece without ':' has no label.
std::vector<SSettingsListItem> ParseValueFirstList(const wxString& list);
// Items written label first ("label:value[:extra]"); a piece without ':' is both.
std::vector<SSettingsListItem> ParseLabelFirstList(const wxString& list);
// The bare value texts of a list such as "0|1|4".
std::vector<wxString> SplitListValues(const wxString& list);
bool ListContains(const std::vector<wxString>& values, const wxString& value);

// The leading decimal number of `text` (0 when there is none), kept within 32 bits.
int32_t ReadDecimal(const wxString& text);
