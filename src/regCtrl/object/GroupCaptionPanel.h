// The heading of a group of settings: its caption with an arrow that shows whether
// the group is open. Clicking it (or Space/Enter while it has the focus) asks the
// owner to open or close the group.
#pragma once

#include <wx/window.h>

#include <functional>

class wxKeyEvent;
class wxMouseEvent;
class wxPaintEvent;

class CGroupCaptionPanel : public wxWindow {
public:
    CGroupCaptionPanel(wxWindow* parent, const wxString& caption);

    void SetToggleHandler(std::function<void()> handler) { m_onToggle = std::move(handler); }
    // Asked at every paint, so the arrow follows the group however it was opened or closed.
    void SetExpandedQuery(std::function<bool()> query) { m_isExpanded = std::move(query); }
    // A group that cannot be closed shows no arrow.
    void SetCollapsible(bool collapsible);

    bool AcceptsFocus() const override { return m_collapsible; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void Toggle();

    std::function<void()> m_onToggle;
    std::function<bool()> m_isExpanded;
    bool m_collapsible = true;
};
