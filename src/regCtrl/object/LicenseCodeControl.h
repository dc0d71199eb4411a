// LICENSECODE: the driver-licence field panel over the whole row.
#pragma once

#include "ControlBase.h"

class CLicenseCodeDlg;

class CLicenseCodeControl : public CControlBase {
public:
    // Room for the list beside the flags and, below them, the value and the preview line.
    CLicenseCodeControl() { Height = 190; }

    bool Create() override;
    void Layout() override;
    void Refresh(int mode) override;

    CLicenseCodeDlg* GetPanel() const;
};
