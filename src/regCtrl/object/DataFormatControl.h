// DATAFORMAT: the setting's caption above an embedded data-format panel, whose every
// change becomes the setting's value through SetDataFormatValue.
#pragma once

#include "ControlBase.h"

class CDataFormatControlDlg;

class CDataFormatControl : public CControlBase {
public:
    CDataFormatControl();
    ~CDataFormatControl() override;

    bool Create() override;
    void Layout() override;
    // Mode 2 shows the value a file set; the others as the base says.
    void Refresh(int mode) override;

    CDataFormatControlDlg* GetPanel() const;

private:
    void ApplyPageFontToTree(wxWindow* window) const;
    void TakeValue(const wxString& value);
};
