#include "ImageControl.h"

#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "image/gui/ImageDlg.h"

namespace {

constexpr int32_t kPanelHeight = 560;

}  // namespace

bool CImageControl::Create()
{
    if (!ParentWnd)
        return false;
    // The registry's row height is that of a collapsed row; the panel with its
    // picture and strip needs the room of a whole page.
    Height = kPanelHeight;
    auto* panel = new CImageDlg(ParentWnd);
    ApplyPageFont(panel);
    ValueWnd = panel;
    if (!CSaveCfg::GetInstance().IsOnline()) {
        panel->Enable(false);
        panel->SetToolTip(GetUiText("ID_IMAGE_OFFLINE", "图像获取需要连接扫描器"));
    }
    Layout();
    return true;
}

void CImageControl::Layout()
{
    // The panel takes the whole row.
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}

CImageDlg* CImageControl::GetPanel() const
{
    return dynamic_cast<CImageDlg*>(ValueWnd.get());
}

bool CImageControl::OnPageShow()
{
    CImageDlg* panel = GetPanel();
    if (!panel || panel->IsStarted() || !CSaveCfg::GetInstance().IsOnline())
        return false;
    return panel->Start();
}

bool CImageControl::OnPageHide()
{
    if (CImageDlg* panel = GetPanel())
        panel->StopCapture();
    else
        CImageDlg::AutoGetFlag() = false;
    return true;
}
