// EDIT: a free-text setting in a single-line edit.
#pragma once

#include "ControlBase.h"

class wxCommandEvent;

class CEditControl : public CControlBase {
public:
    bool Create() override;
    void Refresh(int mode) override;

private:
    void OnTextChanged(wxCommandEvent& event);
};
