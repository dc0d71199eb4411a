#include "UndoListBox.h"

#include "CmdNameXmlInfo.h"
#include "PendingChangeList.h"
#include "UiText.h"

#include <wx/control.h>
#include <wx/dc.h>

#include <algorithm>

namespace {

const int kMargin = 6;
const wxColour kSelectedBackground(190, 190, 190);
const wxColour kValueFrame(128, 128, 128);

void DrawTextIn(wxDC& dc, const wxString& text, const wxRect& box)
{
    if (box.GetWidth() <= 0)
        return;
    dc.DrawLabel(wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, box.GetWidth()), box,
                 wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

}  // namespace

CUndoListBox::CUndoListBox(wxWindow* parent) : wxVListBox(parent, wxID_ANY)
{
    SetBackgroundColour(*wxWHITE);
    m_btnUndo = new wxButton(this, wxID_ANY, GetUiText("ID_UNDO", "撤销"));
    m_btnUndo->Hide();
    m_btnUndo->Bind(wxEVT_BUTTON, &CUndoListBox::OnUndoClicked, this);
    Bind(wxEVT_LISTBOX, &CUndoListBox::OnSelectionChanged, this);
    Bind(wxEVT_PAINT, &CUndoListBox::OnPaintCheckButton, this);
    Bind(wxEVT_SIZE, &CUndoListBox::OnSize, this);
    SyncWithChanges();
}

void CUndoListBox::ApplyUiTexts()
{
    m_btnUndo->SetLabel(GetUiText("ID_UNDO", "撤销"));
    m_btnUndo->SetSize(m_btnUndo->GetBestSize());
    RefreshAll();
    PlaceUndoButton();
}

void CUndoListBox::SyncWithChanges()
{
    const std::vector<CCmdNameXmlInfo*>& entries = CPendingChangeList::GetInstance().GetEntries();
    SetItemCount(entries.size());
    const auto selected = std::find(entries.begin(), entries.end(), m_selectedEntry);
    if (selected == entries.end()) {
        m_selectedEntry = nullptr;
        SetSelection(wxNOT_FOUND);
    } else {
        SetSelection(static_cast<int>(selected - entries.begin()));
    }
    RefreshAll();
    PlaceUndoButton();
}

CCmdNameXmlInfo* CUndoListBox::GetEntry(size_t row) const
{
    const std::vector<CCmdNameXmlInfo*>& entries = CPendingChangeList::GetInstance().GetEntries();
    return row < entries.size() ? entries[row] : nullptr;
}

CCmdNameXmlInfo* CUndoListBox::GetSelectedEntry() const
{
    const int row = GetSelection();
    if (row == wxNOT_FOUND)
        return nullptr;
    // The list may have lost an entry without telling us; then the row holds another one.
    CCmdNameXmlInfo* entry = GetEntry(static_cast<size_t>(row));
    return entry == m_selectedEntry ? entry : nullptr;
}

wxString CUndoListBox::GetCaptionText(size_t row) const
{
    const CCmdNameXmlInfo* entry = GetEntry(row);
    return entry ? entry->GetFriendlyText() : wxString();
}

wxString CUndoListBox::GetValueText(size_t row) const
{
    const CCmdNameXmlInfo* entry = GetEntry(row);
    if (!entry)
        return wxString();
    return entry->ValueText.empty() ? entry->Value : entry->ValueText;
}

void CUndoListBox::HideUndoButton()
{
    m_btnUndo->Hide();
}

wxCoord CUndoListBox::OnMeasureItem(size_t) const
{
    return std::max(GetCharHeight() + 16, m_btnUndo->GetBestSize().GetHeight() + 8);
}

int CUndoListBox::GetValueBoxRight(const wxRect& row) const
{
    // Every row keeps room for the button, so rows do not shift when it moves.
    return row.GetRight() - m_btnUndo->GetSize().GetWidth() - 2 * kMargin;
}

void CUndoListBox::OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const
{
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(IsSelected(n) ? kSelectedBackground : *wxWHITE));
    dc.DrawRectangle(rect);
}

void CUndoListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const
{
    if (!GetEntry(n))
        return;
    const int left = rect.GetLeft() + kMargin;
    const int width = std::max(0, GetValueBoxRight(rect) - left);
    const wxRect caption(left, rect.GetTop(), width / 2, rect.GetHeight());
    const wxRect valueBox(caption.GetRight() + kMargin, rect.GetTop() + 4, width - caption.GetWidth() - kMargin,
                          rect.GetHeight() - 8);

    dc.SetFont(GetFont());
    dc.SetTextForeground(*wxBLACK);
    DrawTextIn(dc, GetCaptionText(n), caption);

    dc.SetPen(wxPen(kValueFrame));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(valueBox);
    dc.SetTextForeground(*wxRED);
    DrawTextIn(dc, GetValueText(n), valueBox.Deflate(4, 0));
}

void CUndoListBox::OnSelectionChanged(wxCommandEvent& event)
{
    const int row = GetSelection();
    m_selectedEntry = row == wxNOT_FOUND ? nullptr : GetEntry(static_cast<size_t>(row));
    PlaceUndoButton();
    event.Skip();
}

void CUndoListBox::OnUndoClicked(wxCommandEvent&)
{
    CCmdNameXmlInfo* entry = GetSelectedEntry();
    if (!entry) {
        HideUndoButton();
        return;
    }
    if (m_onUndo)
        m_onUndo(entry);
}

CUndoListBox::SButtonPlace CUndoListBox::GetButtonPlace() const
{
    SButtonPlace place;
    const int row = GetSelection();
    if (!GetSelectedEntry() || !IsRowVisible(static_cast<size_t>(row)))
        return place;
    const wxSize button = m_btnUndo->GetSize();
    const wxCoord rowHeight = OnMeasureItem(0);
    const wxCoord rowTop = static_cast<wxCoord>(static_cast<size_t>(row) - GetVisibleRowsBegin()) * rowHeight;
    place.shown = true;
    place.position = wxPoint(GetClientSize().GetWidth() - button.GetWidth() - kMargin,
                             rowTop + (rowHeight - button.GetHeight()) / 2);
    return place;
}

bool CUndoListBox::IsButtonInPlace() const
{
    const SButtonPlace place = GetButtonPlace();
    if (!place.shown)
        return !m_btnUndo->IsShown();
    return m_btnUndo->IsShown() && m_btnUndo->GetPosition() == place.position;
}

void CUndoListBox::PlaceUndoButton()
{
    const SButtonPlace place = GetButtonPlace();
    if (!place.shown) {
        HideUndoButton();
        return;
    }
    if (m_btnUndo->GetPosition() != place.position)
        m_btnUndo->Move(place.position);
    m_btnUndo->Show();
}

// Scrolling repaints the rows but does not move child windows, so every paint
// checks where the button belongs. A definition that is destroyed leaves the list
// without a repaint, so the paint also catches up with the list. Windows must not
// be moved while painting, hence both happen after the paint.
void CUndoListBox::OnPaintCheckButton(wxPaintEvent& event)
{
    if (GetItemCount() != CPendingChangeList::GetInstance().GetEntries().size())
        CallAfter(&CUndoListBox::SyncWithChanges);
    else if (!IsButtonInPlace())
        CallAfter(&CUndoListBox::PlaceUndoButton);
    event.Skip();
}

void CUndoListBox::OnSize(wxSizeEvent& event)
{
    PlaceUndoButton();
    event.Skip();
}
