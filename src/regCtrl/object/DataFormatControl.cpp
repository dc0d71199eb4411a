#include "DataFormatControl.h"

#include "dataformat/gui/DataFormatControlDlg.h"
#include "model/CmdGetRangeLenMnt.h"
#include "model/CmdNameXmlInfo.h"

namespace {

constexpr int32_t kRowHeight = 240;
constexpr int32_t kCaptionHeight = 26;

}  // namespace

CDataFormatControl::CDataFormatControl()
{
    Height = kRowHeight;
}

CDataFormatControl::~CDataFormatControl()
{
    // The panel goes with the base; nothing it does on the way may reach this control.
    if (CDataFormatControlDlg* panel = GetPanel())
        panel->DetachValueHandler();
}

bool CDataFormatControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    const long limit = Command->CmdGetLen.empty() ? 0 : CCmdGetRangeLenMnt::GetInstance().GetLength(Command->CmdGetLen);
    auto* panel = new CDataFormatControlDlg(ParentWnd, Command->CommandName, limit,
                                            [this](const wxString& value) { TakeValue(value); });
    ApplyPageFontToTree(panel);
    ValueWnd = panel;
    panel->LoadValue(Command->Value);
    Layout();
    return true;
}

// The rows were sized for the font they were made with; in the page's font their
// lists and buttons need other sizes, or their words are cut ("Any …", "Editor...").
void CDataFormatControl::ApplyPageFontToTree(wxWindow* window) const
{
    ApplyPageFont(window);
    for (wxWindow* child : window->GetChildren())
        ApplyPageFontToTree(child);
    window->InvalidateBestSize();
    if (wxSizer* sizer = window->GetSizer())
        sizer->SetSizeHints(window);
}

CDataFormatControlDlg* CDataFormatControl::GetPanel() const
{
    return static_cast<CDataFormatControlDlg*>(ValueWnd.get());
}

void CDataFormatControl::TakeValue(const wxString& value)
{
    // Showing a value recomputes it; only a real difference is a change. Lists such
    // as the history show the value on one line.
    if (!Command || value == Command->Value)
        return;
    wxString oneLine = value;
    oneLine.Replace("\r\n", " ");
    oneLine.Trim();
    Command->SetDataFormatValue(value, value, &oneLine);
}

void CDataFormatControl::Layout()
{
    const SControlRect row = RowRect();
    PlaceWidget(CaptionStatic, row.left + 10, row.top, row.right - 10, row.top + kCaptionHeight);
    PlaceWidget(ValueWnd, row.left + 10, row.top + kCaptionHeight, row.right - 10, row.bottom - 4);
}

void CDataFormatControl::Refresh(int mode)
{
    CDataFormatControlDlg* panel = GetPanel();
    if (!panel || !Command)
        return;
    wxString value;
    if (mode == 2)
        panel->LoadValue(Command->Value);
    else if (ValueForMode(mode, value))
        panel->LoadValue(value);
}
