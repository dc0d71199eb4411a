#include "EditComboBoxControl.h"

#include "regCtrl/rules/ListControlRules.h"

std::vector<SSettingsListItem> CEditComboBoxControl::OfferedItems() const
{
    return EditComboBoxItems(*Command);
}
