// One settings page on screen: the group captions and setting rows of a page,
// stacked from the top and scrolled vertically when they do not fit.
#pragma once

#include "HarbrekBaseDlg.h"

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
    bool AreControlsBuilt() const { return m_built; }

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

    CPageXmlInfo* m_page;
    bool m_built = false;
    int32_t m_scrollY = 0;
    wxSize m_laidOutSize;
};
