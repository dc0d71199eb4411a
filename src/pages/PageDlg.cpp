#include "PageDlg.h"

#include "model/ControlFactory.h"
#include "model/GroupNameXmlInfo.h"
#include "model/PageXmlInfo.h"
#include "regCtrl/object/ControlBase.h"

#include <wx/choice.h>
#include <wx/datectrl.h>
#include <wx/eventfilter.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>

#include <algorithm>

namespace {

// Space between a group's caption and its first row, and between rows.
const int32_t kRowGap = 10;

int32_t HeightOf(const CControlBase* control)
{
    IControlFactory* factory = GetControlFactory();
    return factory && control ? factory->GetControlHeight(control) : 0;
}

// A group's share of the page: its caption and, when open, its rows.
int32_t GroupHeight(const CGroupNameXmlInfo& group)
{
    if (!group.GroupControl)
        return 0;
    int32_t height = HeightOf(group.GroupControl) + kRowGap;
    if (!group.Expanded)
        return height;
    for (const auto& definition : group.GetCommands()) {
        if (definition->Control)
            height += kRowGap + HeightOf(definition->Control);
    }
    return height;
}

// Widgets whose value the toolkit changes when the wheel turns over them.
bool IsWheelValueWidget(const wxWindow* window)
{
    return dynamic_cast<const wxChoice*>(window) || dynamic_cast<const wxDatePickerCtrlBase*>(window) ||
           dynamic_cast<const wxSpinCtrlBase*>(window) || dynamic_cast<const wxSpinButton*>(window) ||
           dynamic_cast<const wxSliderBase*>(window);
}

bool HasFocusWithin(const wxWindow* widget)
{
    for (const wxWindow* window = wxWindow::FindFocus(); window; window = window->GetParent()) {
        if (window == widget)
            return true;
    }
    return false;
}

// A user scrolling a page through its rows would otherwise change every drop-down
// and date the pointer passes over, and queue changes nobody meant. The wheel over
// such a widget goes to its page, unless the user has given the widget the focus
// (clicked into it or opened it): then it is the widget's. The toolkit's own
// handling of the wheel comes after this filter, which is why it is one filter for
// all widgets rather than a handler on each.
class CPageWheelFilter : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() != wxEVT_MOUSEWHEEL)
            return Event_Skip;
        const wxWindow* widget = nullptr;
        for (auto* window = dynamic_cast<wxWindow*>(event.GetEventObject()); window; window = window->GetParent()) {
            if (!widget && IsWheelValueWidget(window))
                widget = window;
            auto* page = dynamic_cast<CPageDlg*>(window);
            if (page && widget && !HasFocusWithin(widget)) {
                page->ScrollByWheel(static_cast<wxMouseEvent&>(event));
                return Event_Processed;
            }
        }
        return Event_Skip;
    }
};

// Installed while any page exists.
CPageWheelFilter g_wheelFilter;
int g_pagesUsingWheelFilter = 0;

}  // namespace

CPageDlg::CPageDlg(wxWindow* parent, CPageXmlInfo* page)
    : CHarbrekBaseDlg(parent, wxID_ANY, wxTAB_TRAVERSAL | wxVSCROLL), m_page(page)
{
    Bind(wxEVT_SCROLLWIN_TOP, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_BOTTOM, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEUP, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEDOWN, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEUP, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEDOWN, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, &CPageDlg::OnScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBRELEASE, &CPageDlg::OnScroll, this);
    Bind(wxEVT_MOUSEWHEEL, &CPageDlg::OnMouseWheel, this);
    Bind(wxEVT_SIZE, &CPageDlg::OnSize, this);
    Bind(wxEVT_PAINT, &CPageDlg::OnPaint, this);
    m_buildTimer.Bind(wxEVT_TIMER, &CPageDlg::OnBuildTimer, this);
    if (g_pagesUsingWheelFilter++ == 0)
        wxEvtHandler::AddFilter(&g_wheelFilter);
}

CPageDlg::~CPageDlg()
{
    if (--g_pagesUsingWheelFilter == 0)
        wxEvtHandler::RemoveFilter(&g_wheelFilter);
}

bool CPageDlg::StartBuilding()
{
    if (!m_page)
        return false;
    if (!m_built) {
        m_built = true;
        m_scrollY = 0;
        if (GetSharedFont().IsOk())
            SetFont(GetSharedFont());
    }
    return m_nextGroup < m_page->GetGroups().size();
}

bool CPageDlg::AreControlsBuilt() const
{
    return m_built && m_page && m_nextGroup >= m_page->GetGroups().size();
}

void CPageDlg::BuildNextGroup()
{
    const auto& groups = m_page->GetGroups();
    const wxSize client = GetClientSize();
    const SControlRect rect{0, 0, client.GetWidth(), client.GetHeight()};
    const size_t widgetsBefore = GetChildren().size();
    CGroupNameXmlInfo& group = *groups[m_nextGroup++];
    group.OwnerPage = m_page;
    group.CreateControls(this, rect, groups.size() > 1);
    // Only the new widgets: setting a font is slow with GTK.
    size_t index = 0;
    for (wxWindow* child : GetChildren()) {
        if (index++ >= widgetsBefore)
            ApplyFontToTree(child, GetSharedFont());
    }
    if (!m_shownToControls)
        return;
    for (const auto& definition : group.GetCommands()) {
        if (definition->Control)
            definition->Control->OnPageShow();
    }
}

void CPageDlg::BuildControls()
{
    if (!StartBuilding())
        return;
    while (m_nextGroup < m_page->GetGroups().size())
        BuildNextGroup();
    Relayout();
    RefitWhenStyled();
}

void CPageDlg::BuildControlsInSteps()
{
    if (!StartBuilding())
        return;
    const int32_t visible = GetClientSize().GetHeight();
    while (m_nextGroup < m_page->GetGroups().size() && GetContentHeight() - m_scrollY < visible)
        BuildNextGroup();
    Relayout();
    BuildLaterGroups();
    RefitWhenStyled();
}

// GTK styles widgets (their font, the theme's padding) when they are first drawn,
// after the rows measured themselves: once the page has been painted, the rows
// measure and place themselves again.
void CPageDlg::RefitWhenStyled()
{
    if (AreControlsBuilt())
        m_refitPending = true;
}

void CPageDlg::OnPaint(wxPaintEvent& event)
{
    event.Skip();
    if (!m_refitPending)
        return;
    m_refitPending = false;
    CallAfter([this] {
        ForgetBestSizes(this);
        ForEachShownControl([](CControlBase& control) {
            control.FitRowToWidgets();
            control.Layout();
        });
        Relayout();
        LayoutPanelsInside(this);
    });
}

// A timer rather than CallAfter: queued calls queued by queued calls all run in one
// pass, before GTK lays out and paints, which would add the groups up into one wait.
void CPageDlg::BuildLaterGroups()
{
    if (!AreControlsBuilt())
        m_buildTimer.StartOnce(1);
}

void CPageDlg::OnBuildTimer(wxTimerEvent&)
{
    if (AreControlsBuilt())
        return;
    BuildNextGroup();
    Relayout();
    BuildLaterGroups();
    RefitWhenStyled();
}

int32_t CPageDlg::GetContentHeight() const
{
    int32_t height = 0;
    if (m_page) {
        for (const auto& group : m_page->GetGroups())
            height += GroupHeight(*group);
    }
    return height;
}

void CPageDlg::Relayout()
{
    if (!m_built)
        return;
    UpdateScrollbar();
    int32_t y = -m_scrollY;
    for (const auto& group : m_page->GetGroups()) {
        if (!group->GroupControl)
            continue;
        group->MoveGroup(y);
        y += GroupHeight(*group);
    }
    m_laidOutSize = GetClientSize();
    Refresh();
}

void CPageDlg::UpdateScrollbar()
{
    const int32_t content = GetContentHeight();
    const int32_t visible = std::max(1, GetClientSize().GetHeight());
    m_scrollY = std::clamp(m_scrollY, 0, std::max(0, content - visible));
    SetScrollbar(wxVERTICAL, m_scrollY, visible, std::max(content, visible));
}

void CPageDlg::ScrollTo(int32_t position)
{
    const int32_t before = m_scrollY;
    m_scrollY = position;
    UpdateScrollbar();
    if (m_scrollY != before)
        Relayout();
}

void CPageDlg::ScrollIntoView(int32_t top, int32_t height)
{
    const int32_t visible = GetClientSize().GetHeight();
    if (top < m_scrollY)
        ScrollTo(top);
    else if (top + height > m_scrollY + visible)
        ScrollTo(top + height - visible);
}

void CPageDlg::OnScroll(wxScrollWinEvent& event)
{
    if (event.GetOrientation() != wxVERTICAL)
        return;
    const int32_t page = GetClientSize().GetHeight();
    const wxEventType type = event.GetEventType();
    int32_t target = m_scrollY;
    if (type == wxEVT_SCROLLWIN_TOP)
        target = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        target = GetContentHeight();
    else if (type == wxEVT_SCROLLWIN_LINEUP)
        target -= kLineScroll;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        target += kLineScroll;
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        target -= page;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        target += page;
    else
        target = event.GetPosition();
    ScrollTo(target);
}

void CPageDlg::OnMouseWheel(wxMouseEvent& event)
{
    ScrollByWheel(event);
}

void CPageDlg::ScrollByWheel(const wxMouseEvent& event)
{
    const int lines = event.GetWheelRotation() / std::max(1, event.GetWheelDelta()) * event.GetLinesPerAction();
    ScrollTo(m_scrollY - lines * kLineScroll);
}

void CPageDlg::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_built && GetClientSize() != m_laidOutSize)
        Relayout();
}

void CPageDlg::ForEachShownControl(const std::function<void(CControlBase&)>& visit) const
{
    if (!m_page || !m_built)
        return;
    for (const auto& group : m_page->GetGroups()) {
        if (!group->GroupControl)
            continue;  // a group without its caption is not on the page
        for (const auto& definition : group->GetCommands()) {
            if (definition->Control)
                visit(*definition->Control);
        }
    }
}

void CPageDlg::NotifyShown()
{
    m_shownToControls = true;
    ForEachShownControl([](CControlBase& control) { control.OnPageShow(); });
}

void CPageDlg::NotifyHidden()
{
    m_shownToControls = false;
    ForEachShownControl([](CControlBase& control) { control.OnPageHide(); });
}

void CPageDlg::ScrollToControl(const CControlBase& control)
{
    // Rows are placed relative to the scrolled top, so their content position is
    // their offset plus the scroll position.
    ScrollIntoView(control.OffsetY + m_scrollY, control.Height);
}
