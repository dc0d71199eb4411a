// EDITCOMBOBOX: a drop-down list like COMBOBOX that offers every item of the page's
// list, whatever the model says it supports.
#pragma once

#include "ComboBoxControl.h"

class CEditComboBoxControl : public CComboBoxControl {
protected:
    std::vector<SSettingsListItem> OfferedItems() const override;
};
