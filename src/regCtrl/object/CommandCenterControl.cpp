#include "CommandCenterControl.h"

#include "cmdcenter/gui/CommandCenterDlg.h"
#include "config/SaveCfg.h"

#include <algorithm>

namespace {

// The row height a terminal needs to show a useful stretch of its transcript below
// its input and option rows.
const int32_t kTerminalRowHeight = 360;

}  // namespace

bool CCommandCenterControl::Create()
{
    if (!ParentWnd)
        return false;
    Height = std::max(Height, kTerminalRowHeight);
    auto* terminal = new CCommandCenterDlg(ParentWnd);
    ApplyPageFont(terminal);
    ValueWnd = terminal;
    Layout();
    return true;
}

void CCommandCenterControl::Layout()
{
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}

CCommandCenterDlg* CCommandCenterControl::GetTerminal() const
{
    return dynamic_cast<CCommandCenterDlg*>(ValueWnd.get());
}

// Offline there is no scanner to talk to; the terminal stays idle and its buttons off.
bool CCommandCenterControl::OnPageShow()
{
    CCommandCenterDlg* terminal = GetTerminal();
    if (!terminal)
        return false;
    if (CSaveCfg::GetInstance().IsOnline())
        terminal->RefreshLinkState();
    else
        terminal->StopReading();
    return true;
}

bool CCommandCenterControl::OnPageHide()
{
    if (CCommandCenterDlg* terminal = GetTerminal())
        terminal->StopReading();
    return true;
}
