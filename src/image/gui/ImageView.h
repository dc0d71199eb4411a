// A picture drawn scaled to fit its window, on which the user may drag a selection
// rectangle. The rectangle is kept in view coordinates; callers map it to the
// picture with ViewToPicture.
#pragma once

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/panel.h>

#include <functional>

class CImageView : public wxPanel {
public:
    explicit CImageView(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~CImageView() override;

    void SetImage(const wxImage& image);
    const wxImage& GetImage() const { return m_image; }
    // Where the picture is drawn now (empty without a picture).
    wxRect GetPictureRect() const;

    void EnableSelection(bool enable);
    bool IsSelectionEnabled() const { return m_selectionEnabled; }
    const wxRect& GetSelection() const { return m_selection; }
    void SetSelection(const wxRect& selection);
    void ClearSelection() { SetSelection(wxRect()); }
    // The selection in picture pixels; false when there is none or it leaves the picture.
    bool GetPictureSelection(wxRect& picture) const;
    void SetPictureSelection(const wxRect& picture);
    // One arrow key (wx key code) with or without Shift moves or shrinks the selection.
    bool NudgeSelection(int key, bool shift);

    // Called after the user changed the selection.
    void SetSelectionHandler(std::function<void()> handler) { m_onSelection = std::move(handler); }

    // While registered, arrow keys pressed in this window or its children nudge its
    // selection; one window at a time (the newest).
    void RegisterForArrowKeys();

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void NotifySelection();

    wxImage m_image;
    wxBitmap m_scaled;
    wxRect m_selection;
    wxPoint m_anchor;
    bool m_dragging = false;
    bool m_selectionEnabled = false;
    std::function<void()> m_onSelection;
};
