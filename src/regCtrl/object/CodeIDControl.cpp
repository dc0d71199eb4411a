#include "CodeIDControl.h"
#include "UI/gui/Accessible.h"

#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/grid.h>

namespace {

const int kLabelColumn = 0;
const int kTextColumn = 1;

}  // namespace

bool CCodeIDControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    m_rows = BuildCodeIdRows(Command->SettingsList, Command->DeviceSettingsList);
    auto* grid = new wxGrid(ParentWnd, wxID_ANY);
    SetAccessibleName(grid, Command->GetFriendlyText(), EAccessibleRole::Table);
    grid->CreateGrid(static_cast<int>(m_rows.size()), 2);
    ApplyPageFont(grid);
    ValueWnd = grid;
    // The table heads itself with the caption, so the row has no caption column text.
    grid->HideRowLabels();
    grid->SetColLabelValue(kLabelColumn, Command->GetFriendlyText());
    grid->SetColLabelValue(kTextColumn, GetUiText("ID_CODEID_VALUE", "value"));
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        grid->SetReadOnly(row, kLabelColumn);
    FillCells();
    grid->Bind(wxEVT_GRID_CELL_CHANGED, &CCodeIDControl::OnCellChanged, this);
    Layout();
    return true;
}

wxGrid* CCodeIDControl::GetGrid() const
{
    return static_cast<wxGrid*>(ValueWnd.get());
}

void CCodeIDControl::FillCells()
{
    wxGrid* grid = GetGrid();
    if (!grid)
        return;
    // Setting cells does not report a change, so a refresh commits nothing.
    for (size_t i = 0; i < m_rows.size(); ++i) {
        grid->SetCellValue(static_cast<int>(i), kLabelColumn, m_rows[i].label);
        grid->SetCellValue(static_cast<int>(i), kTextColumn, m_rows[i].text);
    }
}

void CCodeIDControl::Layout()
{
    CControlBase::Layout();
    wxGrid* grid = GetGrid();
    if (!grid)
        return;
    const int width = grid->GetClientSize().GetWidth();
    grid->SetColSize(kLabelColumn, width * 2 / 3);
    grid->SetColSize(kTextColumn, width - width * 2 / 3);
}

void CCodeIDControl::Refresh(int mode)
{
    if (!Command)
        return;
    switch (mode) {
    case 0:
    case 1:
        ResetCodeIdRows(m_rows);
        break;
    case 2:
        TakeCodeIdValue(m_rows, Command->Value);
        break;
    default:
        return;
    }
    FillCells();
}

void CCodeIDControl::OnCellChanged(wxGridEvent& event)
{
    event.Skip();
    wxGrid* grid = GetGrid();
    const int row = event.GetRow();
    if (!grid || !Command || row < 0 || static_cast<size_t>(row) >= m_rows.size() || event.GetCol() != kTextColumn)
        return;
    m_rows[static_cast<size_t>(row)].text = grid->GetCellValue(row, kTextColumn);
    CommitCodeIdRows(*Command, m_rows);
}
