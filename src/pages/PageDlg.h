// One settings page on screen: the group captions and setting rows of a page,
// stacked from the top and scrolled vertically when they do not fit.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/timer.h>

#include <cstdint>
#include <functional>

class CControlBase;
class CPageXmlInfo;

class CPageDlg : public CHarbrekBaseDlg {
public:
    // Creates the window; the controls are built by BuildControls when it is first shown.
    CPageDlg(wxWindow* parent, CPageXmlInfo* page);
    ~CPageDlg() override;

    // Makes the controls of every group once and lays them out.
    void BuildControls();
    // The same for a page coming on screen: the groups that fill the visible part
    // now, the others one group per turn of the event loop, so that a long page
    // never holds the windows for long. BuildControls finishes it at once.
    void BuildControlsInSteps();
    // True once every group has its controls.
    bool AreControlsBuilt() const;

    // Places the groups again from the scroll position (after a group opened or
    // closed, or the size changed).
    void Relayout();
    // Height of everything on the page, scrolled or not.
    int32_t GetContentHeight() const;

    // Tell the controls that the page came on screen or went away.
    void NotifyShown();
    void NotifyHidden();

    // Scrolls so that a row at content position `top` with `height` is in view.
    void ScrollIntoView(int32_t top, int32_t height);
    void ScrollToControl(const CControlBase& control);
    int32_t GetScrollOffset() const { return m_scrollY; }

    CPageXmlInfo* GetPage() const { return m_page; }

    // Scrolls as far as a turn of the mouse wheel goes. The wheel over a value
    // widget without the focus (a drop-down, a date) scrolls the page this way too,
    // instead of changing the setting under the pointer.
    void ScrollByWheel(const wxMouseEvent& event);

    // How far one line of scrolling moves.
    static const int32_t kLineScroll = 20;

private:
    void ForEachShownControl(const std::function<void(CControlBase&)>& visit) const;
    void UpdateScrollbar();
    void ScrollTo(int32_t position);
    void OnScroll(wxScrollWinEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnSize(wxSizeEvent& event);
    bool StartBuilding();
    void BuildNextGroup();
    void BuildLaterGroups();
    void RefitWhenStyled();
    void OnPaint(wxPaintEvent& event);
    void OnBuildTimer(wxTimerEvent& event);

    CPageXmlInfo* m_page;
    bool m_built = false;  // building has started: the built groups are on the page
    size_t m_nextGroup = 0;
    wxTimer m_buildTimer;
    bool m_refitPending = false;  // built, to be measured again once drawn
    bool m_shownToControls = false;  // between NotifyShown and NotifyHidden
    int32_t m_scrollY = 0;
    wxSize m_laidOutSize;
};
