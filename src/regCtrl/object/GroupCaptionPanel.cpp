#include "GroupCaptionPanel.h"

#include "UI/gui/Accessible.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

namespace {

const int kArrowSize = 8;
const int kTextIndent = 20;

}  // namespace

CGroupCaptionPanel::CGroupCaptionPanel(wxWindow* parent, const wxString& caption)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS)
{
    SetLabel(caption);
    SetAccessibleName(this, caption, EAccessibleRole::ToggleButton);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CGroupCaptionPanel::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CGroupCaptionPanel::OnLeftDown, this);
    Bind(wxEVT_KEY_DOWN, &CGroupCaptionPanel::OnKeyDown, this);
}

void CGroupCaptionPanel::SetCollapsible(bool collapsible)
{
    m_collapsible = collapsible;
    SetAccessibleName(this, GetLabel(), collapsible ? EAccessibleRole::ToggleButton : EAccessibleRole::Heading);
    Refresh();
}

void CGroupCaptionPanel::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    const wxColour ink = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    const int middle = size.GetHeight() / 2;
    if (m_collapsible) {
        const bool expanded = !m_isExpanded || m_isExpanded();
        dc.SetPen(wxPen(ink));
        dc.SetBrush(wxBrush(ink));
        // Pointing down while open, to the right while closed.
        const wxPoint open[] = {{0, 0}, {kArrowSize, 0}, {kArrowSize / 2, kArrowSize / 2}};
        const wxPoint closed[] = {{0, 0}, {kArrowSize / 2, kArrowSize / 2}, {0, kArrowSize}};
        const wxPoint offset(4, middle - (expanded ? kArrowSize / 4 : kArrowSize / 2));
        dc.DrawPolygon(3, expanded ? open : closed, offset.x, offset.y);
    }
    dc.SetFont(GetFont());
    dc.SetTextForeground(ink);
    const wxSize text = dc.GetTextExtent(GetLabel());
    dc.DrawText(GetLabel(), kTextIndent, middle - text.GetHeight() / 2);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW)));
    dc.DrawLine(kTextIndent + text.GetWidth() + 8, middle, size.GetWidth(), middle);
}

void CGroupCaptionPanel::OnLeftDown(wxMouseEvent& event)
{
    event.Skip();
    Toggle();
}

void CGroupCaptionPanel::OnKeyDown(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
        Toggle();
    else
        event.Skip();
}

void CGroupCaptionPanel::Toggle()
{
    if (m_onToggle)
        m_onToggle();
}
