// What the settings barcodes carry: the payload of a typed or listed setting, the
// enter- and exit-setup codes, the digit barcodes of a data format and the single
// payload of the batch and all-in-one codes.
#pragma once

#include <wx/string.h>

#include <functional>
#include <vector>

// One changed setting as the history lists it.
struct SHistoryEntry {
    wxString command;      // six characters
    wxString value;
    wxString textId;       // identifier of the display name, may be empty
    wxString defaultName;  // display name when the identifier has no text
    wxString valueText;    // the value as the user saw it
};

struct SBarcodeItem {
    wxString payload;
    wxString caption;
};

// An entry that starts with "@" or "#" as it stands, any other with "@" in front.
wxString MakePayload(const wxString& entry);
// The six characters after the mark (or the first six without one), and the rest.
wxString CommandNameOf(const wxString& entry);
wxString CommandValueOf(const wxString& entry);

// True when the text, as the 8-bit text it is sent as, names "FOBSET": barcodes
// for that command are refused.
bool IsRefusedText(const wxString& text);

// "@" + name + "1" captioned name + "1" (enter) and "@" + name + "0" (exit).
SBarcodeItem EnterSetupItem(const wxString& setupCommand);
SBarcodeItem ExitSetupItem(const wxString& setupCommand);

// The entries a typed text stands for on the linear page: the whole text when it
// begins with ";", otherwise its ";"-separated parts of at least 6 characters.
std::vector<wxString> SplitTypedEntries(const wxString& text);

// Caption of a typed entry: the setting's name and value label when the pages know
// the command, otherwise empty (the payload is shown instead).
using CaptionLookup = std::function<wxString(const wxString& command, const wxString& value)>;
wxString CaptionFromPages(const wxString& command, const wxString& value);

// Whether the command carries data formats (compared without case).
bool IsDataFormatCommand(const wxString& command);
// The index of the entry set aside for digit barcodes (the first data-format
// entry), or -1.
int FindDataFormatEntry(const std::vector<SHistoryEntry>& entries);
// The rule texts (after the first ":") of the usable data-format tokens of a value.
std::vector<wxString> DataFormatRuleTexts(const wxString& value);
// "@DFMSET", the digit codes of every rule text, "@DIGSAV" per usable token.
std::vector<wxString> DataFormatDigitPayloads(const wxString& command, const wxString& value);

// The display caption of a history entry: its name in the current language and the
// value as shown.
wxString HistoryCaption(const SHistoryEntry& entry);

// One payload holding every history entry ("@" + command + value + ";" ...), the
// data-format entry's rules last.
wxString HistoryBatchPayload(const std::vector<SHistoryEntry>& entries);
// The settings of a batch payload ("@A;B;C;") cut, in order, into the fewest payloads
// of the same mark that each `fits`; empty when a single setting does not fit.
std::vector<wxString> SplitBatchPayload(const wxString& payload, const std::function<bool(const wxString&)>& fits);
// The payload as the all-in-one code sends it: ending in ";" and starting with "@".
wxString AllInOnePayload(const wxString& payload);
// The payload as the batch code sends it: ending in ";".
wxString BatchPayload(const wxString& payload);
