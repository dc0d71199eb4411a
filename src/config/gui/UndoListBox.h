// The rows of the configuration history: one per pending change, with the setting's
// caption and its chosen value, and one undo button beside the selected row.
#pragma once

#include <wx/button.h>
#include <wx/vlbox.h>

#include <functional>

class CCmdNameXmlInfo;

class CUndoListBox : public wxVListBox {
public:
    explicit CUndoListBox(wxWindow* parent);

    // Shows the pending-change list as it is now. The selected entry stays selected
    // while it is listed; once it is gone nothing is selected and the button hides.
    void SyncWithChanges();
    void ApplyUiTexts();

    // Called with the selected entry when the user presses the undo button.
    void SetUndoHandler(std::function<void(CCmdNameXmlInfo*)> handler) { m_onUndo = std::move(handler); }

    // The entry shown in `row`, or null when there is no such row.
    CCmdNameXmlInfo* GetEntry(size_t row) const;
    CCmdNameXmlInfo* GetSelectedEntry() const;
    // What a row shows: the setting's caption, and its value as the user chose it.
    wxString GetCaptionText(size_t row) const;
    wxString GetValueText(size_t row) const;
    // Where a row draws its caption and its framed value, in window coordinates.
    wxRect GetCaptionBox(size_t row) const;
    wxRect GetValueBox(size_t row) const;

    wxButton* GetUndoButton() const { return m_btnUndo; }
    void HideUndoButton();

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    void OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;

private:
    struct SButtonPlace {
        bool shown = false;
        wxPoint position;
    };

    void OnSelectionChanged(wxCommandEvent& event);
    void OnUndoClicked(wxCommandEvent& event);
    void OnPaintCheckButton(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMouseMove(wxMouseEvent& event);

    SButtonPlace GetButtonPlace() const;
    bool IsButtonInPlace() const;
    void PlaceUndoButton();
    int GetValueBoxHeight() const;
    wxRect CaptionBoxIn(const wxRect& row) const;
    wxRect ValueBoxIn(const wxRect& row, bool selected) const;

    wxButton* m_btnUndo = nullptr;
    // Compared with the listed entries only, never followed: the definition may be gone.
    const CCmdNameXmlInfo* m_selectedEntry = nullptr;
    std::function<void(CCmdNameXmlInfo*)> m_onUndo;
    int m_tooltipRow = wxNOT_FOUND;
};
