#include "EditRangeRules.h"

#include "SettingsListItem.h"
#include "app/UiText.h"

#include <wx/defs.h>

#include <algorithm>

namespace {

constexpr int32_t kFullRangeMaximum = 65535;

bool IsDecimalDigit(wxUniChar c)
{
    return c >= '0' && c <= '9';
}

wxString DigitsOnly(const wxString& text)
{
    wxString digits;
    for (wxUniChar c : text) {
        if (IsDecimalDigit(c))
            digits += c;
    }
    return digits;
}

// Digits read as a number that saturates instead of overflowing, so a long run of
// pasted digits still compares as "above the maximum".
int64_t ReadDigits(const wxString& digits)
{
    constexpr int64_t kSaturated = int64_t{1} << 40;
    int64_t number = 0;
    for (wxUniChar c : digits) {
        number = number * 10 + (static_cast<int64_t>(c.GetValue()) - '0');
        if (number > kSaturated)
            return kSaturated;
    }
    return number;
}

wxString FormatNumber(int32_t number)
{
    return wxString::Format("%d", number);
}

}  // namespace

SRangeLimits RangeEditLimits(int32_t minimum, int32_t maximum)
{
    if (minimum == maximum)
        return {0, kFullRangeMaximum};
    return {minimum, maximum};
}

bool IsRangeEditKeyAccepted(int keyCode)
{
    return (keyCode >= '0' && keyCode <= '9') || keyCode == WXK_DELETE || keyCode == WXK_BACK;
}

wxString NormalizeRangeEditText(const wxString& text, const SRangeLimits& limits)
{
    wxString digits = DigitsOnly(text);
    if (digits.empty())
        return digits;
    if (ReadDigits(digits) > limits.maximum)
        return FormatNumber(limits.maximum);
    if (digits.length() > 1 && digits[0] == '0') {
        const size_t firstNonZero = digits.find_first_not_of('0');
        if (firstNonZero == wxString::npos)
            return FormatNumber(limits.minimum);
        digits = digits.Mid(firstNonZero);
    }
    return digits;
}

std::optional<SRangePartner> FindRangePartner(const wxString& commandName)
{
    static const char* const kPairs[][2] = {{"CADTOP", "CADBOT"}, {"CADLEF", "CADRIG"}, {"CADDTP", "CADDBT"},
                                            {"CADDLF", "CADDRG"}, {"EXPEMN", "EXPEMX"}, {"EXPGMN", "EXPGMX"}};
    for (const auto& pair : kPairs) {
        if (commandName == pair[0])
            return SRangePartner{pair[1], true};
        if (commandName == pair[1])
            return SRangePartner{pair[0], false};
    }
    return std::nullopt;
}

int32_t CorrectPairValue(bool isLower, int32_t defaultValue, int32_t partnerValue, const SRangeLimits& limits)
{
    if (isLower) {
        if (defaultValue <= partnerValue)
            return defaultValue;
        return std::max(partnerValue - 1, limits.minimum);
    }
    if (defaultValue >= partnerValue)
        return defaultValue;
    return std::min(partnerValue + 1, limits.maximum);
}

namespace {

SRangeCommit CheckPairOrder(int32_t value, const wxString& text, const wxString& defaultValue,
                            const SRangePartner& partner, int32_t partnerValue, const SRangeLimits& limits)
{
    const bool ordered = partner.isLower ? value <= partnerValue : value >= partnerValue;
    if (ordered)
        return {ERangeVerdict::Accepted, text};
    const int32_t corrected = CorrectPairValue(partner.isLower, ReadDecimal(defaultValue), partnerValue, limits);
    return {ERangeVerdict::PairViolation, FormatNumber(corrected)};
}

SRangeCommit CheckWithinLimits(const wxString& text, const SRangeLimits& limits)
{
    const wxString digits = DigitsOnly(text);
    const bool valid = !digits.empty() && digits == text && ReadDigits(digits) >= limits.minimum &&
                       ReadDigits(digits) <= limits.maximum;
    if (valid)
        return {ERangeVerdict::Accepted, text};
    return {ERangeVerdict::OutOfRange, FormatNumber(limits.minimum)};
}

}  // namespace

SRangeCommit CheckRangeCommit(const wxString& text, const SRangeLimits& limits, const wxString& defaultValue,
                              const std::optional<SRangePartner>& partner,
                              const std::optional<wxString>& partnerValue)
{
    // The pair rule stands in for the range rule only where the partner is on a page
    // and the field holds a number to order.
    if (partner && partnerValue && !text.empty() && DigitsOnly(text) == text)
        return CheckPairOrder(ReadDecimal(text), text, defaultValue, *partner, ReadDecimal(*partnerValue), limits);
    return CheckWithinLimits(text, limits);
}

wxString FormatPairMessage(const wxString& upperCaption, const wxString& lowerCaption)
{
    return wxString::Format("%s %s %s", upperCaption, GetUiText("ID_ERROR_SAVE_GREATER", "必须大于"), lowerCaption);
}

wxString FormatRangeMessage(const wxString& caption, const SRangeLimits& limits)
{
    return wxString::Format("%s-> %s: %d-%d", caption, GetUiText("ID_RANGE", "Range"), limits.minimum,
                            limits.maximum);
}
