// RADIO and RADIO#: an off/on setting shown as a toggle button labelled with the
// setting's caption.
#pragma once

#include "ControlBase.h"
#include "ListControlRules.h"

class wxCommandEvent;
class wxToggleButton;

class CToggleButtonControl : public CControlBase {
public:
    CToggleButtonControl() { Height = 32; }

    bool Create() override;
    void Refresh(int mode) override;

private:
    wxToggleButton* GetToggle() const;
    void OnToggled(wxCommandEvent& event);

    SToggleStates m_states;
    // False when the page's list is not an off/on pair: the button then stays
    // disabled rather than commit a value nobody defined.
    bool m_hasStates = false;
};
