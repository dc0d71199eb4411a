// DEFCMD: a button that puts every setting of its group back to its default.
#pragma once

#include "ControlBase.h"

class wxCommandEvent;

class CDefaultButtonControl : public CControlBase {
public:
    bool Create() override;

private:
    void OnClick(wxCommandEvent& event);
};
