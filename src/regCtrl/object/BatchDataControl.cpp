#include "BatchDataControl.h"

#include "batchdata/gui/BatchDataDlg.h"
#include "config/SaveCfg.h"

bool CBatchDataControl::Create()
{
    if (!ParentWnd)
        return false;
    auto* panel = new CBatchDataDlg(ParentWnd);
    // The panel's own widgets too: their sizes follow the font they draw with.
    ApplyPageFont(panel);
    for (wxWindow* child : panel->GetChildren())
        ApplyPageFont(child);
    // Fetching needs a connected scanner.
    panel->GetFetchButton()->Enable(CSaveCfg::GetInstance().IsOnline());
    ValueWnd = panel;
    Layout();
    return true;
}

void CBatchDataControl::Layout()
{
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}
