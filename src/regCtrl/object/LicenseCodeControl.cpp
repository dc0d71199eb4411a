#include "LicenseCodeControl.h"

#include "dlicense/gui/LicenseCodeDlg.h"
#include "model/CmdNameXmlInfo.h"

bool CLicenseCodeControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    auto* panel = new CLicenseCodeDlg(ParentWnd, Command);
    ValueWnd = panel;
    panel->ShowValue(Command->Value);
    Layout();
    return true;
}

void CLicenseCodeControl::Layout()
{
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}

void CLicenseCodeControl::Refresh(int mode)
{
    CLicenseCodeDlg* panel = GetPanel();
    if (!panel || !Command)
        return;
    // A file's value has become the setting's value; the other modes show the scanner's or the default.
    if (mode == 2)
        panel->ShowValue(Command->Value);
    else if (wxString value; ValueForMode(mode, value))
        panel->ShowValue(value);
}

CLicenseCodeDlg* CLicenseCodeControl::GetPanel() const
{
    return dynamic_cast<CLicenseCodeDlg*>(ValueWnd.get());
}
