#include "EditComboBoxControl.h"

#include "ListControlRules.h"

std::vector<SSettingsListItem> CEditComboBoxControl::OfferedItems() const
{
    return EditComboBoxItems(*Command);
}
