// MNUCMD: a button of the page that leads to another setting of the same command,
// such as the panel of the settings barcodes.
#pragma once

#include "ControlBase.h"

class wxCommandEvent;

class CMnuCmdButtonControl : public CControlBase {
public:
    bool Create() override;

private:
    // The setting of the same command that this button leads to, or null.
    CCmdNameXmlInfo* FindTarget() const;
    void OnClick(wxCommandEvent& event);
};
