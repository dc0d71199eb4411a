#include "CompareXmlControl.h"

#include "config/gui/CompareXmlDlg.h"

bool CCompareXmlControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    ValueWnd = new CCompareXmlDlg(ParentWnd);
    Layout();
    return true;
}

void CCompareXmlControl::Layout()
{
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}

// The settings may have changed on any other page since this one was last shown.
bool CCompareXmlControl::OnPageShow()
{
    if (CCompareXmlDlg* panel = GetPanel())
        panel->Fill();
    return true;
}

CCompareXmlDlg* CCompareXmlControl::GetPanel() const
{
    return dynamic_cast<CCompareXmlDlg*>(ValueWnd.get());
}
