// LICENSECODE: the driver-licence field panel over the whole row.
#pragma once

#include "ControlBase.h"

class CLicenseCodeDlg;

class CLicenseCodeControl : public CControlBase {
public:
    CLicenseCodeControl() { Height = 100; }

    bool Create() override;
    void Layout() override;
    void Refresh(int mode) override;

    CLicenseCodeDlg* GetPanel() const;
};
