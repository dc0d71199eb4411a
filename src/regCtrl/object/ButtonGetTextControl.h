// BUTTONGETTEXT: a button that asks the scanner for a value it reports, such as the
// battery level, and shows the answer beside it.
#pragma once

#include "ControlBase.h"

class wxCommandEvent;

class CButtonGetTextControl : public CControlBase {
public:
    bool Create() override;

private:
    void ShowAnswer(const wxString& answer);
    void OnClick(wxCommandEvent& event);
};
