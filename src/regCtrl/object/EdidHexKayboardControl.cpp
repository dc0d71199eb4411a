#include "EdidHexKayboardControl.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

constexpr int32_t kEditLineHeight = 30;
constexpr int32_t kKeyLineHeight = 28;
const char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

CHexKeyWindow::CHexKeyWindow(wxWindow* parent, const wxString& label, std::function<void()> press)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), m_press(std::move(press))
{
    SetLabel(label);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CHexKeyWindow::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
        m_pressed = true;
        Refresh();
    });
    Bind(wxEVT_LEFT_UP, &CHexKeyWindow::OnLeftUp, this);
    Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& event) {
        event.Skip();
        m_pressed = false;
        Refresh();
    });
}

void CHexKeyWindow::Press()
{
    if (m_press)
        m_press();
}

void CHexKeyWindow::OnLeftUp(wxMouseEvent& event)
{
    event.Skip();
    const bool wasPressed = m_pressed;
    m_pressed = false;
    Refresh();
    if (wasPressed && GetClientRect().Contains(event.GetPosition()))
        Press();
}

void CHexKeyWindow::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    const wxRect area = GetClientRect();
    dc.SetBrush(wxSystemSettings::GetColour(m_pressed ? wxSYS_COLOUR_BTNSHADOW : wxSYS_COLOUR_BTNFACE));
    dc.SetPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
    dc.DrawRectangle(area);
    dc.SetFont(GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    dc.DrawLabel(GetLabel(), area, wxALIGN_CENTER);
}

CEdidHexKayboardControl::~CEdidHexKayboardControl()
{
    for (CHexKeyWindow* key : m_keys) {
        if (key)
            key->Destroy();
    }
}

void CEdidHexKayboardControl::CreateExtras()
{
    CEdidHexControl::CreateExtras();
    // The keys need a line of their own below the field.
    Height = kEditLineHeight + kKeyLineHeight;
    for (const char* digit = kHexDigits; *digit; ++digit) {
        const wxUniChar c(*digit);
        AddKey(wxString(c), [this, c] { TypeHexChar(c); });
    }
    AddKey(wxString::FromUTF8("\xE2\x86\x90"), [this] { DeleteAtCaret(false); });
}

void CEdidHexKayboardControl::AddKey(const wxString& label, std::function<void()> press)
{
    auto* key = new CHexKeyWindow(ParentWnd, label, [this, press] {
        press();
        AfterKey();
    });
    ApplyPageFont(key);
    m_keys.emplace_back(key);
}

void CEdidHexKayboardControl::AfterKey()
{
    // The field keeps the focus so that typing goes on where the key put the caret;
    // GTK selects the whole text when an entry takes the focus, so the caret is put
    // back, or the next key would replace everything.
    wxTextCtrl* edit = GetEdit();
    if (!edit)
        return;
    const long caret = edit->GetInsertionPoint();
    edit->SetFocus();
    edit->SetInsertionPoint(caret);
}

void CEdidHexKayboardControl::Layout()
{
    CEdidHexControl::Layout();
    if (m_keys.empty())
        return;
    const SControlRect row = RowRect();
    const int32_t w = ColumnWidth(row);
    // The keys span the widget and hint columns, below the field.
    const int32_t left = row.left + w;
    const int32_t width = std::max(0, row.right - 10 - left);
    const int32_t top = row.top + kEditLineHeight;
    PlaceWidget(HintStatic, row.left + 2 * w + 10, row.top, row.right - 10, top);
    const int32_t count = static_cast<int32_t>(m_keys.size());
    for (int32_t i = 0; i < count; ++i)
        PlaceWidget(m_keys[i], left + width * i / count, top, left + width * (i + 1) / count - 1, top + kKeyLineHeight);
}

bool CEdidHexKayboardControl::Show(bool show)
{
    for (CHexKeyWindow* key : m_keys) {
        if (key)
            key->Show(show);
    }
    return CEdidHexControl::Show(show);
}
