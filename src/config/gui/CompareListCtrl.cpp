#include "CompareListCtrl.h"

#include "model/CmdNameXmlInfo.h"

#include <wx/tokenzr.h>

#include <algorithm>

wxDEFINE_EVENT(EVT_COMPARE_TICKS_CHANGED, wxCommandEvent);

namespace {

enum { COLUMN_TICK = 0, COLUMN_CAPTION, COLUMN_REFERENCE, COLUMN_CURRENT, COLUMN_COUNT };

// Soft backgrounds keep the values readable; a difference is also told by dark red
// bold text, for those who do not tell the two colours apart.
const wxColour kEqualBackground(226, 244, 226);
const wxColour kEqualText(32, 64, 32);
const wxColour kDifferentBackground(255, 224, 210);
const wxColour kDifferentText(150, 20, 0);

}  // namespace

CCompareListCtrl::CCompareListCtrl(wxWindow* parent, const wxString& header) : wxGrid(parent, wxID_ANY)
{
    CreateGrid(0, COLUMN_COUNT, wxGridSelectRows);
    HideRowLabels();
    EnableEditing(false);
    EnableGridLines(true);
    DisableDragRowSize();
    auto* tick = new wxGridCellAttr();
    tick->SetRenderer(new wxGridCellBoolRenderer());
    tick->SetAlignment(wxALIGN_CENTRE, wxALIGN_CENTRE);
    SetColAttr(COLUMN_TICK, tick);
    SetHeader(header);
    Bind(wxEVT_GRID_CELL_LEFT_CLICK, &CCompareListCtrl::OnCellClick, this);
}

void CCompareListCtrl::SetHeader(const wxString& header)
{
    int column = 0;
    for (const wxString& part : wxSplit(header, ';', '\0')) {
        if (column >= COLUMN_COUNT)
            break;
        long width = 100;
        part.AfterLast(',').Trim(false).ToLong(&width);
        SetColLabelValue(column, wxString(part.BeforeLast(',')).Trim(false).Trim(true));
        SetColSize(column++, static_cast<int>(width));
    }
}

void CCompareListCtrl::ShowRows(std::vector<SCompareRow> rows)
{
    m_rows = std::move(rows);
    m_ticked.assign(m_rows.size(), false);
    BeginBatch();
    if (GetNumberRows() > 0)
        DeleteRows(0, GetNumberRows());
    AppendRows(static_cast<int>(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int row = static_cast<int>(i);
        SetCellValue(row, COLUMN_CAPTION, m_rows[i].setting->GetFriendlyText());
        SetCellValue(row, COLUMN_REFERENCE, m_rows[i].reference);
        SetCellValue(row, COLUMN_CURRENT, m_rows[i].current);
        if (!m_rows[i].absent)
            ColourRow(row, m_rows[i].equal);
    }
    EndBatch();
}

void CCompareListCtrl::ColourRow(int row, bool equal)
{
    for (int column : {COLUMN_REFERENCE, COLUMN_CURRENT}) {
        SetCellBackgroundColour(row, column, equal ? kEqualBackground : kDifferentBackground);
        SetCellTextColour(row, column, equal ? kEqualText : kDifferentText);
        wxFont font = GetDefaultCellFont();
        SetCellFont(row, column, equal ? font : font.Bold());
    }
}

bool CCompareListCtrl::IsMarkedDifferent(int row) const
{
    return GetCellBackgroundColour(row, COLUMN_CURRENT) == kDifferentBackground &&
           GetCellFont(row, COLUMN_CURRENT).GetWeight() == wxFONTWEIGHT_BOLD;
}

void CCompareListCtrl::TickAll()
{
    for (size_t i = 0; i < m_ticked.size(); ++i)
        Tick(i, true);
}

void CCompareListCtrl::Tick(size_t row, bool ticked)
{
    if (row >= m_ticked.size())
        return;
    m_ticked[row] = ticked;
    SetCellValue(static_cast<int>(row), COLUMN_TICK, ticked ? "1" : "");
}

bool CCompareListCtrl::HasTickedRow() const
{
    return std::find(m_ticked.begin(), m_ticked.end(), true) != m_ticked.end();
}

std::vector<CCmdNameXmlInfo*> CCompareListCtrl::TickedSettings() const
{
    std::vector<CCmdNameXmlInfo*> ticked;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_ticked[i])
            ticked.push_back(m_rows[i].setting);
    }
    return ticked;
}

// One click on the check box column ticks or unticks the row, without an editor.
void CCompareListCtrl::OnCellClick(wxGridEvent& event)
{
    event.Skip();
    const int row = event.GetRow();
    if (event.GetCol() != COLUMN_TICK || row < 0 || static_cast<size_t>(row) >= m_ticked.size())
        return;
    Tick(static_cast<size_t>(row), !m_ticked[static_cast<size_t>(row)]);
    wxCommandEvent changed(EVT_COMPARE_TICKS_CHANGED);
    changed.SetEventObject(this);
    wxPostEvent(GetParent(), changed);
}
