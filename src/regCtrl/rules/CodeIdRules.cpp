#include "CodeIdRules.h"

#include "SettingsListItem.h"
#include "config/PendingChangeList.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/tokenzr.h>

namespace {

wxString TableValue(const std::vector<SCodeIdRow>& rows)
{
    wxString value;
    for (size_t i = 0; i < rows.size(); ++i)
        value += (i == 0 ? "" : "|") + rows[i].text;
    return value;
}

// What the history shows for the table: only the rows the user changed.
wxString ChangedRowsText(const std::vector<SCodeIdRow>& rows)
{
    wxString text;
    for (const SCodeIdRow& row : rows) {
        if (row.text == row.initialText)
            continue;
        if (!text.empty())
            text += ", ";
        text += row.label + ": " + row.text;
    }
    return text;
}

}  // namespace

std::vector<SCodeIdRow> BuildCodeIdRows(const wxString& settingsList, const wxString& deviceSettingsList)
{
    const std::vector<wxString> offered = SplitListValues(deviceSettingsList);
    std::vector<SCodeIdRow> rows;
    for (const SSettingsListItem& item : ParseValueFirstList(settingsList)) {
        if (ListContains(offered, item.ItemValueText))
            rows.push_back(SCodeIdRow{item.ItemLabel, item.ItemValueText, item.ItemValueText});
    }
    return rows;
}

bool AnyCodeIdRowChanged(const std::vector<SCodeIdRow>& rows)
{
    for (const SCodeIdRow& row : rows) {
        if (row.text != row.initialText)
            return true;
    }
    return false;
}

void ResetCodeIdRows(std::vector<SCodeIdRow>& rows)
{
    for (SCodeIdRow& row : rows)
        row.text = row.initialText;
}

void TakeCodeIdValue(std::vector<SCodeIdRow>& rows, const wxString& value)
{
    // Split keeping empty pieces: an identifier may have been cleared on purpose.
    const wxArrayString texts = wxStringTokenize(value, "|", wxTOKEN_RET_EMPTY_ALL);
    if (value.empty() || texts.size() != rows.size()) {
        ResetCodeIdRows(rows);
        return;
    }
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].text = texts[i];
}

void CommitCodeIdRows(CCmdNameXmlInfo& definition, const std::vector<SCodeIdRow>& rows)
{
    CPendingChangeList& changes = CPendingChangeList::GetInstance();
    if (AnyCodeIdRowChanged(rows)) {
        definition.Value = TableValue(rows);
        definition.ValueText = ChangedRowsText(rows);
        changes.AddChange(&definition);
    } else {
        definition.Value = definition.ValueText = definition.DeviceValue;
        changes.RemoveChange(&definition);
    }
    changes.OnValueChanged(&definition);
}
