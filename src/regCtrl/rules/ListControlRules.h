// What the list controls offer, select and commit: drop-down lists, radio and button
// groups, the custom-value drop-down and the two-state toggle. The widgets only put
// these answers on the screen.
#pragma once

#include "SettingsListItem.h"

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class CCmdNameXmlInfo;

// The data of the custom entry of a COMBOBOXCUSTOM list; no model uses it as a value.
constexpr int32_t kCustomEntryValue = 65535;

// The items of a COMBOBOX: those the model offers, in SettingsList order. An item
// the page hides stays in the list while it is the current value, so the user sees
// what the scanner holds.
std::vector<SSettingsListItem> ComboBoxItems(const CCmdNameXmlInfo& definition);
// The items of an EDITCOMBOBOX: every item of SettingsList, unfiltered.
std::vector<SSettingsListItem> EditComboBoxItems(const CCmdNameXmlInfo& definition);
// The buttons of a RADIOGROUP or BUTTONGROUP: as ComboBoxItems, and also an item in
// neither list whose value text is the device's value.
std::vector<SSettingsListItem> GroupItems(const CCmdNameXmlInfo& definition);

// Whether a COMBOBOXCUSTOM offers a free number: always offline, online only when
// the model declared a range beside its list.
bool OffersCustomEntry(const CCmdNameXmlInfo& definition, bool online);
// The items of a COMBOBOXCUSTOM: DeviceSettingsList read label first, then, when
// offered, the custom entry labelled `customLabel` with kCustomEntryValue.
std::vector<SSettingsListItem> CustomComboBoxItems(const CCmdNameXmlInfo& definition, bool online,
                                                   const wxString& customLabel);
// A number typed into the custom edit: false for an empty text or anything but
// decimal digits, so pasted garbage commits nothing.
bool ReadCustomNumber(const wxString& text, int32_t& number);

// The value a list control selects on a refresh of `mode` (0 device read, 1 reset to
// default, 2 file loaded); false for a mode that shows nothing.
bool ListValueForMode(const CCmdNameXmlInfo& definition, int mode, int32_t& value);
// A value the list does not hold: the first item becomes the setting's default,
// value and device value. It is what the scanner falls back to, so it is not a
// change of the user's and the pending-change list is left alone.
void AdoptFirstItem(CCmdNameXmlInfo& definition, int32_t firstItemValue);
// The user picked an item: its number "%d" with the label the user saw.
void CommitItem(CCmdNameXmlInfo& definition, int32_t value, const wxString& label);

// Row heights of the framed groups, which grow with their buttons.
int32_t RadioGroupHeight(size_t buttons);
int32_t ButtonGroupHeight(size_t buttons);

// The two states of a RADIO toggle.
struct SToggleStates {
    int32_t offValue = 0;
    int32_t onValue = 0;
    wxString offLabel;
    wxString onLabel;
};
// False unless SettingsList holds exactly two items (off, then on). Online the
// scanner's limits are the values (Minimum off, Maximum on); offline the items' own.
bool ReadToggleStates(const CCmdNameXmlInfo& definition, bool online, SToggleStates& states);
// The toggle is on for every value but the off value.
bool IsToggleOn(const SToggleStates& states, const wxString& value);
// The value and label of the new state; false when that value is already the
// setting's Value, so flipping back and forth commits nothing twice.
bool ToggleCommit(const SToggleStates& states, bool on, const wxString& currentValue, wxString& value,
                  wxString& label);

// The message after a device refused something: the ID_SAVE_ERROR text, then each
// failed command as " :[" name "] " behind the ID_SAVE_ERROR_CMD text.
wxString FailedCommandsText(const std::vector<wxString>& failedCommands);
// A BUTTONGROUP click on a connected scanner: executes the setting with `value` at
// once, then reads every value back, since such a command may change others. A
// setting the user has changed and not yet written keeps the user's value. False
// with the failed commands when the scanner refused or did not answer; the
// setting's values are then left as they were. The exchange (seconds at a low baud
// rate) runs through `runExchange`, the program's wait dialog; values and controls
// are updated afterwards on the calling thread.
using ExchangeRunner = std::function<bool(const std::function<bool()>& exchange)>;
bool ExecuteOnDevice(CCmdNameXmlInfo& definition, int32_t value, const wxString& label,
                     std::vector<wxString>& failedCommands, const ExchangeRunner& runExchange);
