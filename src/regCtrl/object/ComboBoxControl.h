// COMBOBOX: a setting chosen from the model's list in a drop-down list.
#pragma once

#include "ControlBase.h"

#include <cstdint>

class wxChoice;
class wxCommandEvent;

class CComboBoxControl : public CControlBase {
public:
    bool Create() override;
    void Refresh(int mode) override;

private:
    wxChoice* GetChoice() const;
    // Only the items the model offers; an item the model hides stays visible while
    // it is the current value, so the user sees what the scanner holds.
    void FillItems(int32_t currentValue);
    void SelectValue(int32_t value);
    // A value outside the list: the first item is taken as the setting's value,
    // default and device value, without counting as a change.
    void AdoptFirstItem();
    void OnSelectionChanged(wxCommandEvent& event);
};
