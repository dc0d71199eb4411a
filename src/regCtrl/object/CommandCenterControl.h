// COMMANDCENTER: the command terminal embedded in a settings page, over the whole
// row. It reads from the scanner only while its page is shown and the scanner is
// connected.
#pragma once

#include "ControlBase.h"

class CCommandCenterDlg;

class CCommandCenterControl : public CControlBase {
public:
    CCommandCenterControl() { Height = 100; }

    bool Create() override;
    void Layout() override;
    bool OnPageShow() override;
    bool OnPageHide() override;

    CCommandCenterDlg* GetTerminal() const;
};
