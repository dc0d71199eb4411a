// RADIOGROUP: a framed group with one radio button per value the model offers.
#pragma once

#include "ControlBase.h"
#include "regCtrl/rules/SettingsListItem.h"

#include <cstdint>
#include <vector>

class wxCommandEvent;
class wxRadioButton;

class CGroupRadioControl : public CControlBase {
public:
    CGroupRadioControl() { Height = 100; }

    bool Create() override;
    void Layout() override;
    void Refresh(int mode) override;

    // The buttons in list order; they live inside the frame, which is ValueWnd.
    std::vector<wxRadioButton*> GetButtons() const;

private:
    void CreateButtons(const std::vector<SSettingsListItem>& items);
    void CheckValue(int32_t value);
    void OnButtonClicked(wxCommandEvent& event);
};
