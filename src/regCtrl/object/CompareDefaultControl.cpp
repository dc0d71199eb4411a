#include "CompareDefaultControl.h"

#include "config/gui/CompareDefaultDlg.h"

bool CCompareDefaultControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    ValueWnd = new CCompareDefaultDlg(ParentWnd);
    Layout();
    return true;
}

void CCompareDefaultControl::Layout()
{
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}

// The settings may have changed on any other page since this one was last shown.
bool CCompareDefaultControl::OnPageShow()
{
    if (CCompareDefaultDlg* panel = GetPanel())
        panel->Fill();
    return true;
}

CCompareDefaultDlg* CCompareDefaultControl::GetPanel() const
{
    return dynamic_cast<CCompareDefaultDlg*>(ValueWnd.get());
}
