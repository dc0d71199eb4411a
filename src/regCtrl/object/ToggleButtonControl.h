// RADIO and RADIO#: an off/on setting shown as a check box labelled with the
// current state's word.
#pragma once

#include "ControlBase.h"
#include "regCtrl/rules/ListControlRules.h"

class wxCommandEvent;
class wxCheckBox;

class CToggleButtonControl : public CControlBase {
public:
    CToggleButtonControl() { Height = 32; }

    bool Create() override;
    void Refresh(int mode) override;

private:
    wxCheckBox* GetToggle() const;
    void ShowState(bool on);
    void OnToggled(wxCommandEvent& event);

    SToggleStates m_states;
    // False when the page's list is not an off/on pair: the button then stays
    // disabled rather than commit a value nobody defined.
    bool m_hasStates = false;
};
