#include "HexEditRules.h"

#include "app/UiText.h"

namespace {

const char kForbiddenHeader[] = "3F";

// The value of a hexadecimal text, or none when it is empty or not hexadecimal.
std::optional<unsigned long> ReadHex(const wxString& text)
{
    unsigned long value = 0;
    if (text.empty() || text.length() > 8 || !IsHexText(text) || !text.ToULong(&value, 16))
        return std::nullopt;
    return value;
}

// Limits are compared by value, which for the usual two-digit limits is the same as
// comparing the texts without case. A limit that is not hexadecimal limits nothing.
bool IsAboveMaximum(const wxString& byteText, const SHexLimits& limits)
{
    const auto maximum = ReadHex(limits.maximum);
    const auto value = ReadHex(byteText);
    return maximum && value && *value > *maximum;
}

bool IsBelowMinimum(const wxString& byteText, const SHexLimits& limits)
{
    const auto minimum = ReadHex(limits.minimum);
    const auto value = ReadHex(byteText);
    return minimum && value && *value < *minimum;
}

bool IsOutOfRange(const wxString& byteText, const SHexLimits& limits)
{
    return IsAboveMaximum(byteText, limits) || IsBelowMinimum(byteText, limits);
}

}  // namespace

bool IsHexDigit(wxUniChar c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsHexText(const wxString& text)
{
    for (wxUniChar c : text) {
        if (!IsHexDigit(c))
            return false;
    }
    return true;
}

std::optional<wxUniChar> AcceptHexChar(wxUniChar c)
{
    if (!IsHexDigit(c))
        return std::nullopt;
    if (c >= 'a' && c <= 'f')
        return wxUniChar(c.GetValue() - 'a' + 'A');
    return c;
}

bool IsHexTextAcceptable(const wxString& text, const SHexLimits& limits)
{
    if (!IsHexText(text))
        return false;
    if (limits.lengthInBytes > 0 && text.length() > static_cast<size_t>(limits.lengthInBytes) * 2)
        return false;
    if (!limits.HasByteLimits())
        return true;
    for (size_t i = 0; i < text.length(); i += 2) {
        const wxString byteText = i + 1 < text.length() ? text.Mid(i, 2) : "0" + text.Mid(i, 1);
        if (IsAboveMaximum(byteText, limits))
            return false;
    }
    return true;
}

bool IsFirstByteDeleteRefused(const wxString& commandName, size_t textLength, long selectionFrom,
                              long selectionTo)
{
    const bool guarded = commandName == "NGRSET" || commandName == "SCNTCT" || commandName == "SCNTCP";
    return guarded && textLength < 2 && selectionFrom == 0 && selectionTo < 2;
}

std::optional<wxString> CleanPastedHex(const wxString& clipboardText)
{
    wxString cleaned;
    for (wxUniChar c : clipboardText) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        const auto accepted = AcceptHexChar(c);
        if (!accepted)
            return std::nullopt;
        cleaned += *accepted;
    }
    return cleaned;
}

wxString CorrectHexForCommit(const wxString& text, const SHexLimits& limits)
{
    if (!limits.HasByteLimits())
        return text;
    // Only a one-byte minimum can stand in for a byte.
    const bool minimumIsByte = limits.minimum.length() == 2;
    wxString corrected;
    for (size_t i = 0; i < text.length(); i += 2) {
        const bool single = i + 1 >= text.length();
        const wxString byteText = single ? "0" + text.Mid(i, 1) : text.Mid(i, 2);
        if (IsOutOfRange(byteText, limits) && minimumIsByte)
            corrected += limits.minimum.Upper();
        else
            corrected += byteText;
    }
    return corrected;
}

bool HasForbiddenHeader(const wxString& commandName, const wxString& text)
{
    return (commandName == "SCNTCT" || commandName == "SCNTCP") && text.Upper().StartsWith(kForbiddenHeader);
}

wxString FormatHeaderMessage(const wxString& caption)
{
    return wxString::Format("%s %s %s", caption, GetUiText("ID_ERROR_SAME_HEADER", "开头不能包含"), kForbiddenHeader);
}

wxString HexPreviewText(const wxString& text)
{
    wxString even = text;
    if (even.length() % 2 != 0)
        even.insert(even.length() - 1, "0");
    wxString preview;
    for (size_t i = 0; i + 1 < even.length(); i += 2) {
        const auto byte = ReadHex(even.Mid(i, 2));
        if (!byte)
            continue;
        const bool control = *byte < 0x20 || *byte == 0x7F;
        preview += control ? wxUniChar('.') : wxUniChar(static_cast<unsigned int>(*byte));
    }
    return preview;
}
