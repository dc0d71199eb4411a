#include "BarcodePayload.h"

#include "app/NarrowText.h"
#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <wx/arrstr.h>
#include <wx/tokenzr.h>

namespace {

const size_t kCommandLength = 6;
// Shorter tokens cannot hold a whole data format.
const size_t kShortestFormatToken = 26;
// A rule's ":" comes after the format's name, "Data Format".
const size_t kFirstRuleColon = 11;

bool HasMark(const wxString& entry)
{
    return entry.StartsWith("@") || entry.StartsWith("#");
}

// The part of a usable data-format token after its ":", or empty.
wxString RuleTextOf(const wxString& token)
{
    if (token.length() < kShortestFormatToken)
        return wxString();
    const int colon = token.Find(':');
    if (colon == wxNOT_FOUND || static_cast<size_t>(colon) < kFirstRuleColon)
        return wxString();
    return token.Mid(colon + 1);
}

}  // namespace

wxString MakePayload(const wxString& entry)
{
    return HasMark(entry) ? entry : "@" + entry;
}

wxString CommandNameOf(const wxString& entry)
{
    return entry.Mid(HasMark(entry) ? 1 : 0, kCommandLength);
}

wxString CommandValueOf(const wxString& entry)
{
    return entry.Mid((HasMark(entry) ? 1 : 0) + kCommandLength);
}

bool IsRefusedText(const wxString& text)
{
    const std::wstring wide = text.ToStdWstring();
    return ToNarrow(wide.c_str(), wide.size()).find("FOBSET") != std::string::npos;
}

SBarcodeItem EnterSetupItem(const wxString& setupCommand)
{
    return {"@" + setupCommand + "1", setupCommand + "1"};
}

SBarcodeItem ExitSetupItem(const wxString& setupCommand)
{
    return {"@" + setupCommand + "0", setupCommand + "0"};
}

std::vector<wxString> SplitTypedEntries(const wxString& text)
{
    if (text.StartsWith(";"))
        return {text};
    std::vector<wxString> entries;
    wxStringTokenizer parts(text, ";", wxTOKEN_RET_EMPTY_ALL);
    while (parts.HasMoreTokens()) {
        const wxString part = parts.GetNextToken();
        if (part.length() >= kCommandLength)
            entries.push_back(part);
    }
    return entries;
}

wxString CaptionFromPages(const wxString& command, const wxString& value)
{
    const CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(command);
    return definition ? definition->GetFriendlyText() + definition->GetValueLabel(value) : wxString();
}

bool IsDataFormatCommand(const wxString& command)
{
    return command.IsSameAs("DFMSET", false) || command.IsSameAs("DFMADD", false);
}

int FindDataFormatEntry(const std::vector<SHistoryEntry>& entries)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (IsDataFormatCommand(entries[i].command))
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<wxString> DataFormatRuleTexts(const wxString& value)
{
    std::vector<wxString> rules;
    wxStringTokenizer tokens(value, ";\r\n");
    while (tokens.HasMoreTokens()) {
        const wxString token = tokens.GetNextToken();
        if (token.Find(':') != wxNOT_FOUND && token.length() >= kShortestFormatToken &&
            static_cast<size_t>(token.Find(':')) >= kFirstRuleColon)
            rules.push_back(RuleTextOf(token));
    }
    return rules;
}

std::vector<wxString> DataFormatDigitPayloads(const wxString& command, const wxString& value)
{
    std::vector<wxString> payloads;
    for (wxString rule : DataFormatRuleTexts(value)) {
        rule.MakeUpper();
        if (rule.empty())
            continue;
        payloads.push_back("@" + command);
        for (const wxUniChar c : rule) {
            if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
                payloads.push_back(wxString("@DIGIT") + c);
            else if (c == '|')
                payloads.push_back("@DIGIVB");
        }
        payloads.push_back("@DIGSAV");
    }
    return payloads;
}

wxString HistoryCaption(const SHistoryEntry& entry)
{
    const wxString name = entry.textId.empty() ? entry.defaultName : GetUiText(entry.textId, entry.defaultName);
    return name + entry.valueText;
}

wxString HistoryBatchPayload(const std::vector<SHistoryEntry>& entries)
{
    const int setAside = FindDataFormatEntry(entries);
    wxString payload = "@";
    for (size_t i = 0; i < entries.size(); ++i) {
        if (static_cast<int>(i) != setAside)
            payload += entries[i].command + entries[i].value + ";";
    }
    if (setAside >= 0) {
        const SHistoryEntry& format = entries[setAside];
        for (const wxString& rule : DataFormatRuleTexts(format.value))
            payload += format.command + rule + ";";
    }
    return payload;
}

wxString BatchPayload(const wxString& payload)
{
    return payload.EndsWith(";") ? payload : payload + ";";
}

wxString AllInOnePayload(const wxString& payload)
{
    const wxString ended = BatchPayload(payload);
    return ended.StartsWith("@") ? ended : "@" + ended;
}

namespace {

wxString JoinedPayload(const wxString& mark, const std::vector<wxString>& settings, size_t from, size_t count)
{
    wxString payload = mark;
    for (size_t i = from; i < from + count; ++i)
        payload += settings[i] + ";";
    return payload;
}

}  // namespace

std::vector<wxString> SplitBatchPayload(const wxString& payload, const std::function<bool(const wxString&)>& fits)
{
    const bool marked = payload.StartsWith("@") || payload.StartsWith("#");
    const wxString mark = marked ? payload.Left(1) : wxString("@");
    std::vector<wxString> settings;
    for (const wxString& setting : wxSplit(marked ? payload.Mid(1) : payload, ';', '\0')) {
        if (!setting.empty())
            settings.push_back(setting);
    }
    std::vector<wxString> parts;
    for (size_t from = 0; from < settings.size();) {
        // The most settings from `from` on that still fit, found by halving: a symbol
        // is rendered for each try.
        size_t fitting = 0;
        size_t tooMany = settings.size() - from + 1;
        while (tooMany - fitting > 1) {
            const size_t tried = (fitting + tooMany) / 2;
            (fits(JoinedPayload(mark, settings, from, tried)) ? fitting : tooMany) = tried;
        }
        if (fitting == 0)
            return {};
        parts.push_back(JoinedPayload(mark, settings, from, fitting));
        from += fitting;
    }
    return parts;
}
