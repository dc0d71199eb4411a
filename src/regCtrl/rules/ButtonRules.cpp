#include "ButtonRules.h"

#include "SettingsListItem.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "model/CmdNameXmlInfo.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"

#include <wx/tokenzr.h>

#include <algorithm>

namespace {

const char kEntrySeparator = '|';

void RereadCodeIds(RereadValues& reread)
{
    // One request gives every code identifier the scanner has; the answer names them.
    CSaveCfg& engine = CSaveCfg::GetInstance();
    size_t count = 0;
    const ReplyItem* items = engine.SendCommand(L"@CID*", L"", count);
    for (size_t i = 0; items && i < count; ++i) {
        if (items[i].status == REPLY_ACK && items[i].command[0] != 0)
            reread.emplace_back(wxString(items[i].command), wxString(items[i].value));
    }
}

void RereadDataFormat(RereadValues& reread)
{
    wxString format;
    if (CSaveCfg::QueryCommand("DFMQCU", "", format, "@"))
        reread.emplace_back(CSaveCfg::GetInstance().GetDataFormatCommand(), format);
}

void TakeDeviceValue(CCmdNameXmlInfo& definition, const wxString& value)
{
    definition.DeviceValue = definition.Value = definition.LoadedValue = value;
    // The scanner now holds the value shown, so nothing of this setting is pending.
    CPendingChangeList& changes = CPendingChangeList::GetInstance();
    if (changes.IsListed(&definition)) {
        changes.RemoveChange(&definition);
        changes.OnValueChanged(&definition);
    }
    if (definition.Control && GetControlFactory())
        GetControlFactory()->RefreshControl(definition.Control, 0);
}

}  // namespace

wxString BuildFileFilter(const wxString& settingsList)
{
    wxString filter;
    for (const SSettingsListItem& item : ParseValueFirstList(settingsList)) {
        // A list written without values ("wav|mp3") still names its extensions.
        const wxString extension = item.ItemLabel.empty() ? item.ItemValueText : item.ItemLabel;
        if (!extension.empty())
            filter += wxString::Format("(*.%s)|*.%s|", extension, extension);
    }
    // The file dialog takes no empty entry at the end, so the list stops here.
    return filter + "All Files (*.*)|*.*";
}

wxString JoinListEntries(const std::vector<wxString>& entries)
{
    wxString value;
    for (const wxString& entry : entries) {
        if (!value.empty())
            value += kEntrySeparator;
        value += entry;
    }
    return value;
}

std::vector<wxString> SplitListEntries(const wxString& value)
{
    std::vector<wxString> entries;
    wxStringTokenizer pieces(value, wxString(kEntrySeparator));
    while (pieces.HasMoreTokens()) {
        const wxString piece = pieces.GetNextToken();
        if (!piece.empty())
            entries.push_back(piece);
    }
    return entries;
}

wxString AcceptableListEntry(const std::vector<wxString>& entries, const wxString& candidate)
{
    wxString entry = candidate;
    entry.Trim(true).Trim(false);
    if (entry.empty() || entry.Find(kEntrySeparator) != wxNOT_FOUND)
        return wxString();
    if (std::find(entries.begin(), entries.end(), entry) != entries.end())
        return wxString();
    return entry;
}

std::vector<wxString> ReadWhiteListText(const wxString& text)
{
    std::vector<wxString> entries;
    wxStringTokenizer lines(text, "\r\n");
    while (lines.HasMoreTokens()) {
        const wxString entry = AcceptableListEntry(entries, lines.GetNextToken());
        if (!entry.empty())
            entries.push_back(entry);
    }
    return entries;
}

bool ExchangeButtonCommand(const wxString& commandName, RereadValues& reread)
{
    reread.clear();
    wxString answer;
    if (commandName.empty() || !CSaveCfg::QueryCommand(commandName, "", answer, "@"))
        return false;
    // A failed re-read leaves the old values shown; the command itself went through.
    if (commandName == "CIDDEF")
        RereadCodeIds(reread);
    else if (commandName == "DFMCAL" || commandName == "DFMDEF")
        RereadDataFormat(reread);
    return true;
}

void TakeRereadValues(const RereadValues& reread)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    for (const auto& entry : reread) {
        // Plain references, not a structured binding: the lambda below captures them.
        const wxString& name = entry.first;
        const wxString& value = entry.second;
        // A value too long for the map is not the scanner's whole answer; leave it out.
        if (!engine.SetMapValue(name, value))
            continue;
        CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) {
            if (definition.CommandName == name)
                TakeDeviceValue(definition, value);
        });
    }
}
