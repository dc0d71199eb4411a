// COMPAREXML: the comparison with a chosen file over the whole row, refreshed whenever its page is shown.
#pragma once

#include "ControlBase.h"

class CCompareXmlDlg;

class CCompareXmlControl : public CControlBase {
public:
    // A list needs room for more than a couple of rows.
    CCompareXmlControl() { Height = 360; }

    bool Create() override;
    void Layout() override;
    bool OnPageShow() override;

    CCompareXmlDlg* GetPanel() const;
};
