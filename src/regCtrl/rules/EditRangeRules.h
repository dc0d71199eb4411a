// What a numeric range edit (RANGEEDIT) accepts while the user types and what it
// commits: digits only, within the setting's limits, and for the cut-area and
// exposure settings an order against a partner setting.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <optional>

struct SRangeLimits {
    int32_t minimum = 0;
    int32_t maximum = 0;
};

// The setting's own limits when they differ; otherwise the full 16-bit range.
SRangeLimits RangeEditLimits(int32_t minimum, int32_t maximum);

// Digits, Delete and Backspace; every other key is dropped.
bool IsRangeEditKeyAccepted(int keyCode);

// The field's text after a change: anything but digits removed (garbage pasted), a
// number above the maximum replaced by the maximum, leading zeros cut, and a text of
// zeros only replaced by the minimum. The empty text stays empty.
wxString NormalizeRangeEditText(const wxString& text, const SRangeLimits& limits);

// The partner that a setting's value is ordered against ("CADTOP" must not be below
// "CADBOT"); none for a setting without one.
struct SRangePartner {
    wxString partnerName;
    bool isLower = false;  // this setting is the lower one of the pair
};
std::optional<SRangePartner> FindRangePartner(const wxString& commandName);

enum class ERangeVerdict {
    Accepted,       // commit the text as it is
    PairViolation,  // the pair message, then commit the corrected text
    OutOfRange,     // the range message, then commit the minimum
};

struct SRangeCommit {
    ERangeVerdict verdict = ERangeVerdict::Accepted;
    wxString text;  // what is committed
};

// The lower setting of a pair takes its default when that keeps the order, else the
// value just below the partner; the upper one mirrors it.
int32_t CorrectPairValue(bool isLower, int32_t defaultValue, int32_t partnerValue, const SRangeLimits& limits);

// Checks the text the user leaves in the field. `partnerValue` is the partner's
// current value when the setting has a partner on some page. An empty field is never
// committed as it is, whichever rule applies.
SRangeCommit CheckRangeCommit(const wxString& text, const SRangeLimits& limits, const wxString& defaultValue,
                              const std::optional<SRangePartner>& partner,
                              const std::optional<wxString>& partnerValue);

// "<upper caption> must be greater than <lower caption>".
wxString FormatPairMessage(const wxString& upperCaption, const wxString& lowerCaption);
// "<caption>-> Range: <minimum>-<maximum>".
wxString FormatRangeMessage(const wxString& caption, const SRangeLimits& limits);
