// What a hexadecimal edit (HEXEDIT, HEXEDITKEYBOARD) accepts while the user types and
// what it commits: pairs of hexadecimal digits, one pair per byte, in upper case,
// within the model's byte limits and length.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <optional>

struct SHexLimits {
    wxString minimum;         // lowest byte allowed, as hexadecimal text
    wxString maximum;         // highest byte allowed
    long lengthInBytes = 0;   // 0: no length limit

    // Equal limits (also both empty) put no limit on the bytes.
    bool HasByteLimits() const { return minimum != maximum; }
};

bool IsHexDigit(wxUniChar c);
bool IsHexText(const wxString& text);

// The typed character as the field holds it (a-f in upper case), or none for a
// printable character that a hexadecimal field refuses.
std::optional<wxUniChar> AcceptHexChar(wxUniChar c);

// Whether the field may hold `text` while the user is still typing: not longer than
// the length limit, and no byte above the maximum (a final single digit counts as
// its value with a leading 0). Bytes below the minimum pass until the commit.
bool IsHexTextAcceptable(const wxString& text, const SHexLimits& limits);

// The few settings whose first byte the user may not delete.
bool IsFirstByteDeleteRefused(const wxString& commandName, size_t textLength, long selectionFrom,
                              long selectionTo);

// The clipboard text as the field would take it (blanks removed, upper case), or
// none when it is not all hexadecimal digits.
std::optional<wxString> CleanPastedHex(const wxString& clipboardText);

// The text to commit: with byte limits, every byte outside them becomes the minimum,
// and a final single digit is padded with a 0 (or, out of range, made the minimum).
wxString CorrectHexForCommit(const wxString& text, const SHexLimits& limits);

// "SCNTCT" and "SCNTCP" may not begin with the byte that starts a scanner command.
bool HasForbiddenHeader(const wxString& commandName, const wxString& text);
// "<caption> must not begin with 3F".
wxString FormatHeaderMessage(const wxString& caption);

// The bytes of `text` as characters, one per byte; an odd final digit is read with a
// 0 in front. Control bytes show as '.' since a text field cannot show them.
wxString HexPreviewText(const wxString& text);
