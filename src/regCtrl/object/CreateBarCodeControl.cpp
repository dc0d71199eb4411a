#include "CreateBarCodeControl.h"

#include "barcode/gui/BarCodeDlg.h"

bool CCreateBarCodeControl::Create()
{
    if (!ParentWnd)
        return false;
    auto* panel = new CBarCodeDlg(ParentWnd);
    ValueWnd = panel;
    Layout();
    return true;
}

CBarCodeDlg* CCreateBarCodeControl::GetPanel() const
{
    return static_cast<CBarCodeDlg*>(ValueWnd.get());
}

void CCreateBarCodeControl::Layout()
{
    const SControlRect row = RowRect();
    PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
}

bool CCreateBarCodeControl::OnPageShow()
{
    if (CBarCodeDlg* panel = GetPanel())
        panel->OnShown();
    return true;
}

void CCreateBarCodeControl::Refresh(int)
{
}
