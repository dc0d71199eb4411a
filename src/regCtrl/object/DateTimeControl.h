// DATATIME: a date chosen in a date picker, committed as "YYYY-MM-DD".
#pragma once

#include "ControlBase.h"

class wxDateEvent;
class wxDatePickerCtrl;

class CDateTimeControl : public CControlBase {
public:
    CDateTimeControl() { Height = 20; }
    bool Create() override;
    void Refresh(int mode) override;

private:
    wxDatePickerCtrl* GetPicker() const;
    // A value that is not a date leaves the picker as it was.
    void ShowDate(const wxString& value);
    void OnDateChanged(wxDateEvent& event);
};
