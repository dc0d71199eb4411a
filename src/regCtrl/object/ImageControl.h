// IMAGE: the image capture panel of an imaging scanner over a tall row of the page.
// It asks the scanner what it can capture the first time its page is shown with a
// scanner connected; without one it stays disabled.
#pragma once

#include "ControlBase.h"

class CImageDlg;

class CImageControl : public CControlBase {
public:
    CImageControl() { Height = 100; }

    bool Create() override;
    void Layout() override;
    bool OnPageShow() override;
    // Capture stops with its page, a picture on its way included: it would otherwise
    // hold the link while the user works elsewhere.
    bool OnPageHide() override;

    CImageDlg* GetPanel() const;
};
