#include "UndoListBox.h"

#include "app/UiText.h"
#include "config/PendingChangeList.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/control.h>
#include <wx/dc.h>

#include <algorithm>

namespace {

const int kMargin = 6;
const int kLineGap = 2;
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
    Bind(wxEVT_MOTION, &CUndoListBox::OnMouseMove, this);
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
    m_tooltipRow = wxNOT_FOUND;  // the row under the mouse may hold another entry now
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

int CUndoListBox::GetValueBoxHeight() const
{
    return std::max(GetCharHeight() + 8, m_btnUndo->GetBestSize().GetHeight());
}

// The caption stands on a line of its own above the value, so both get the row's
// whole width.
wxCoord CUndoListBox::OnMeasureItem(size_t) const
{
    return kMargin + GetCharHeight() + kLineGap + GetValueBoxHeight() + kMargin;
}

wxRect CUndoListBox::CaptionBoxIn(const wxRect& row) const
{
    return wxRect(row.GetLeft() + kMargin, row.GetTop() + kMargin, std::max(0, row.GetWidth() - 2 * kMargin),
                  GetCharHeight());
}

// Only the selected row makes room for the undo button beside its value.
wxRect CUndoListBox::ValueBoxIn(const wxRect& row, bool selected) const
{
    const int button = selected ? m_btnUndo->GetSize().GetWidth() + kMargin : 0;
    return wxRect(row.GetLeft() + kMargin, row.GetTop() + kMargin + GetCharHeight() + kLineGap,
                  std::max(0, row.GetWidth() - 2 * kMargin - button), GetValueBoxHeight());
}

wxRect CUndoListBox::GetCaptionBox(size_t row) const
{
    return CaptionBoxIn(GetItemRect(row));
}

wxRect CUndoListBox::GetValueBox(size_t row) const
{
    return ValueBoxIn(GetItemRect(row), IsSelected(row));
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
    const wxRect valueBox = ValueBoxIn(rect, IsSelected(n));
    dc.SetFont(GetFont());
    dc.SetTextForeground(*wxBLACK);
    DrawTextIn(dc, GetCaptionText(n), CaptionBoxIn(rect));

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
    const wxRect valueBox = ValueBoxIn(wxRect(0, rowTop, GetClientSize().GetWidth(), rowHeight), true);
    place.shown = true;
    place.position = wxPoint(valueBox.GetRight() + 1 + kMargin,
                             valueBox.GetTop() + (valueBox.GetHeight() - button.GetHeight()) / 2);
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

// Whatever a narrow view still cuts, the row under the mouse tells in full.
void CUndoListBox::OnMouseMove(wxMouseEvent& event)
{
    const int row = VirtualHitTest(event.GetPosition().y);
    if (row != m_tooltipRow) {
        m_tooltipRow = row;
        if (row == wxNOT_FOUND || !GetEntry(static_cast<size_t>(row)))
            UnsetToolTip();
        else
            SetToolTip(GetCaptionText(static_cast<size_t>(row)) + "\n" + GetValueText(static_cast<size_t>(row)));
    }
    event.Skip();
}

void CUndoListBox::OnSize(wxSizeEvent& event)
{
    PlaceUndoButton();
    event.Skip();
}
