#include "ListControlRules.h"

#include "app/UiText.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "model/CmdNameXmlInfo.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"

#include <algorithm>

namespace {

// The page's and the model's lists, read once for a whole walk over the items.
struct SItemFilter {
    std::vector<wxString> offered;
    std::vector<wxString> hidden;
    int32_t currentValue = 0;

    explicit SItemFilter(const CCmdNameXmlInfo& definition)
        : offered(SplitListValues(definition.DeviceSettingsList)),
          hidden(SplitListValues(definition.UnSupportSettingsList)),
          currentValue(ReadDecimal(definition.Value))
    {
    }

    enum class EVerdict { Shown, Hidden, Unlisted };

    EVerdict Judge(const SSettingsListItem& item) const
    {
        if (ListContains(hidden, item.ItemValueText))
            return item.ItemValue == currentValue ? EVerdict::Shown : EVerdict::Hidden;
        return ListContains(offered, item.ItemValueText) ? EVerdict::Shown : EVerdict::Unlisted;
    }
};

}  // namespace

std::vector<SSettingsListItem> ComboBoxItems(const CCmdNameXmlInfo& definition)
{
    const SItemFilter filter(definition);
    std::vector<SSettingsListItem> shown;
    for (const SSettingsListItem& item : ParseValueFirstList(definition.SettingsList)) {
        if (filter.Judge(item) == SItemFilter::EVerdict::Shown)
            shown.push_back(item);
    }
    return shown;
}

std::vector<SSettingsListItem> EditComboBoxItems(const CCmdNameXmlInfo& definition)
{
    return ParseValueFirstList(definition.SettingsList);
}

std::vector<SSettingsListItem> GroupItems(const CCmdNameXmlInfo& definition)
{
    const SItemFilter filter(definition);
    std::vector<SSettingsListItem> shown;
    for (const SSettingsListItem& item : ParseValueFirstList(definition.SettingsList)) {
        const SItemFilter::EVerdict verdict = filter.Judge(item);
        // A button for what the scanner holds, even when the model's list forgot it.
        if (verdict == SItemFilter::EVerdict::Shown ||
            (verdict == SItemFilter::EVerdict::Unlisted && item.ItemValueText == definition.DeviceValue))
            shown.push_back(item);
    }
    return shown;
}

bool OffersCustomEntry(const CCmdNameXmlInfo& definition, bool online)
{
    return !online || definition.RangeWithList != 0;
}

std::vector<SSettingsListItem> CustomComboBoxItems(const CCmdNameXmlInfo& definition, bool online,
                                                   const wxString& customLabel)
{
    std::vector<SSettingsListItem> items = ParseLabelFirstList(definition.DeviceSettingsList);
    if (OffersCustomEntry(definition, online)) {
        SSettingsListItem custom;
        custom.ItemValue = kCustomEntryValue;
        custom.ItemValueText = wxString::Format("%d", kCustomEntryValue);
        custom.ItemLabel = customLabel;
        items.push_back(custom);
    }
    return items;
}

bool ReadCustomNumber(const wxString& text, int32_t& number)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](wxUniChar c) { return c >= '0' && c <= '9'; }))
        return false;
    number = ReadDecimal(text);
    return true;
}

bool ListValueForMode(const CCmdNameXmlInfo& definition, int mode, int32_t& value)
{
    switch (mode) {
    case 0:
        value = ReadDecimal(definition.DeviceValue);
        return true;
    case 1:
        value = ReadDecimal(definition.Default);
        return true;
    case 2:
        value = ReadDecimal(definition.Value);
        return true;
    default:
        return false;
    }
}

void AdoptFirstItem(CCmdNameXmlInfo& definition, int32_t firstItemValue)
{
    const wxString value = wxString::Format("%d", firstItemValue);
    definition.Default = value;
    definition.Value = value;
    definition.DeviceValue = value;
}

void CommitItem(CCmdNameXmlInfo& definition, int32_t value, const wxString& label)
{
    definition.SetValue(wxString::Format("%d", value), &label);
}

int32_t RadioGroupHeight(size_t buttons)
{
    return 34 + 29 * static_cast<int32_t>(buttons);
}

int32_t ButtonGroupHeight(size_t buttons)
{
    // The same frame as a radio group, with room for a push button's taller face.
    return 34 + 37 * static_cast<int32_t>(buttons);
}

bool ReadToggleStates(const CCmdNameXmlInfo& definition, bool online, SToggleStates& states)
{
    const std::vector<SSettingsListItem> items = ParseValueFirstList(definition.SettingsList);
    if (items.size() != 2)
        return false;
    states.offLabel = items[0].ItemLabel;
    states.onLabel = items[1].ItemLabel;
    states.offValue = online ? definition.Minimum : items[0].ItemValue;
    states.onValue = online ? definition.Maximum : items[1].ItemValue;
    return true;
}

bool IsToggleOn(const SToggleStates& states, const wxString& value)
{
    return ReadDecimal(value) != states.offValue;
}

bool ToggleCommit(const SToggleStates& states, bool on, const wxString& currentValue, wxString& value,
                  wxString& label)
{
    value = wxString::Format("%d", on ? states.onValue : states.offValue);
    label = on ? states.onLabel : states.offLabel;
    return value != currentValue;
}

wxString FailedCommandsText(const std::vector<wxString>& failedCommands)
{
    wxString text = GetUiText("ID_SAVE_ERROR", "保存失败 \r\n");
    for (const wxString& name : failedCommands)
        text += GetUiText("ID_SAVE_ERROR_CMD", "命令") + " :[" + name + "] ";
    return text;
}

namespace {

// The scanner did not take `commandName`; the error list names the refused items,
// or nothing when no reply came at all.
std::vector<wxString> FailuresOf(const wxString& commandName)
{
    std::vector<wxString> failed = CSaveCfg::GetInstance().GetErrorList();
    if (failed.empty())
        failed.push_back(commandName);
    return failed;
}

// The scanner already holds what is committed here: the pending-change list and
// its views follow, but nothing is sent to the scanner a second time.
void CommitHeldValue(CCmdNameXmlInfo& definition, const wxString& value, const wxString& label)
{
    CPendingChangeList& pending = CPendingChangeList::GetInstance();
    const int sendAtOnce = pending.GetSendAtOnce();
    pending.SetSendAtOnce(0);
    definition.SetValue(value, &label);
    pending.SetSendAtOnce(sendAtOnce);
}

// Like the engine's spreading after a write, except that a pending change of the
// user's survives: only what the scanner holds is updated beneath it.
void SpreadReadValues()
{
    const std::map<wxString, wxString>& values = CSaveCfg::GetInstance().GetValueMap();
    CPendingChangeList& pending = CPendingChangeList::GetInstance();
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) {
        const auto found = values.find(definition.CommandName);
        if (found == values.end())
            return;
        definition.DeviceValue = definition.LoadedValue = found->second;
        if (pending.IsListed(&definition)) {
            if (definition.Value == definition.DeviceValue)
                CommitHeldValue(definition, definition.Value, definition.ValueText);
            return;
        }
        definition.Value = found->second;
        if (IControlFactory* factory = GetControlFactory())
            factory->RefreshControl(definition.Control, 0);
    });
}

}  // namespace

bool ExecuteOnDevice(CCmdNameXmlInfo& definition, int32_t value, const wxString& label,
                     std::vector<wxString>& failedCommands, const ExchangeRunner& runExchange)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.ClearErrorList();
    const wxString valueText = wxString::Format("%d", value);
    const wxString command = definition.CommandName + valueText;
    bool sent = false;
    const bool readBack = runExchange([&engine, &command, &sent] {
        size_t count = 0;
        sent = engine.SendCommand(command.wc_str(), L"", count) != nullptr;
        return sent && engine.ReadBackValues();
    });
    if (!sent) {
        failedCommands = FailuresOf(definition.CommandName);
        return false;
    }
    definition.DeviceValue = definition.LoadedValue = valueText;
    CommitHeldValue(definition, valueText, label);
    if (!readBack) {
        failedCommands = FailuresOf("@*");
        return false;
    }
    SpreadReadValues();
    return true;
}
