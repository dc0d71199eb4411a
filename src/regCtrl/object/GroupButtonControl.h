// BUTTONGROUP: a framed group of push buttons, one per value the model offers; a
// click carries the value out on the scanner at once.
#pragma once

#include "ControlBase.h"
#include "regCtrl/rules/SettingsListItem.h"

#include <cstdint>
#include <vector>

class wxButton;
class wxCommandEvent;

class CGroupButtonControl : public CControlBase {
public:
    CGroupButtonControl() { Height = 100; }

    bool Create() override;
    void Layout() override;

    // The buttons in list order; they live inside the frame, which is ValueWnd.
    std::vector<wxButton*> GetButtons() const;

private:
    void CreateButtons(const std::vector<SSettingsListItem>& items);
    void OnButtonClicked(wxCommandEvent& event);
    void Execute(int32_t value, const wxString& label);
};
