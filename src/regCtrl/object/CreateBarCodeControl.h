// CREATEBARCODE: the settings-barcode panel embedded in its page, as wide as the
// page; showing the page selects the tab the history view asked for.
#pragma once

#include "ControlBase.h"

class CBarCodeDlg;

class CCreateBarCodeControl : public CControlBase {
public:
    CCreateBarCodeControl() { Height = 620; }

    bool Create() override;
    void Layout() override;
    bool OnPageShow() override;
    // The panel shows no value of its own: nothing to refresh after a read or load.
    void Refresh(int mode) override;

    CBarCodeDlg* GetPanel() const;
};
