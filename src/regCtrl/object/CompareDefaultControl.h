// COMPAREDEFAULT: the comparison with the defaults over the whole row, refreshed whenever its page is shown.
#pragma once

#include "ControlBase.h"

class CCompareDefaultDlg;

class CCompareDefaultControl : public CControlBase {
public:
    // A list needs room for more than a couple of rows.
    CCompareDefaultControl() { Height = 360; }

    bool Create() override;
    void Layout() override;
    bool OnPageShow() override;

    CCompareDefaultDlg* GetPanel() const;
};
