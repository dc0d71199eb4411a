#include "CompareListCtrl.h"

#include "CmdNameXmlInfo.h"

#include <wx/tokenzr.h>

#include <algorithm>

wxDEFINE_EVENT(EVT_COMPARE_TICKS_CHANGED, wxCommandEvent);

namespace {

enum { COLUMN_TICK = 0, COLUMN_CAPTION, COLUMN_REFERENCE, COLUMN_CURRENT };

}  // namespace

CCompareListCtrl::CCompareListCtrl(wxWindow* parent, const wxString& header)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_HRULES | wxLC_VRULES | wxLC_SINGLE_SEL),
      m_equalAttr(wxColour(0, 0, 255), wxColour(160, 255, 192), wxNullFont),
      m_differentAttr(*wxWHITE, wxColour(255, 0, 0), wxNullFont)
{
    EnableCheckBoxes(true);
    SetHeader(header);
    Bind(wxEVT_LIST_ITEM_CHECKED, &CCompareListCtrl::OnChecked, this);
    Bind(wxEVT_LIST_ITEM_UNCHECKED, &CCompareListCtrl::OnChecked, this);
}

void CCompareListCtrl::SetHeader(const wxString& header)
{
    DeleteAllColumns();
    long column = 0;
    for (const wxString& part : wxSplit(header, ';', '\0')) {
        const wxString title = part.BeforeLast(',').Trim(false).Trim(true);
        long width = 100;
        part.AfterLast(',').Trim(false).ToLong(&width);
        InsertColumn(column++, title, wxLIST_FORMAT_LEFT, static_cast<int>(width));
    }
}

void CCompareListCtrl::ShowRows(std::vector<SCompareRow> rows)
{
    m_rows = std::move(rows);
    m_ticked.assign(m_rows.size(), false);
    SetItemCount(static_cast<long>(m_rows.size()));
    Refresh();
}

void CCompareListCtrl::TickAll()
{
    std::fill(m_ticked.begin(), m_ticked.end(), true);
    Refresh();
}

void CCompareListCtrl::Tick(size_t row, bool ticked)
{
    if (row < m_ticked.size())
        m_ticked[row] = ticked;
    Refresh();
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

wxString CCompareListCtrl::OnGetItemText(long item, long column) const
{
    if (item < 0 || static_cast<size_t>(item) >= m_rows.size())
        return wxString();
    const SCompareRow& row = m_rows[static_cast<size_t>(item)];
    switch (column) {
    case COLUMN_CAPTION:
        return row.setting->GetFriendlyText();
    case COLUMN_REFERENCE:
        return row.reference;
    case COLUMN_CURRENT:
        return row.current;
    default:
        return wxString();
    }
}

wxItemAttr* CCompareListCtrl::OnGetItemColumnAttr(long item, long column) const
{
    if (item < 0 || static_cast<size_t>(item) >= m_rows.size() || column < COLUMN_REFERENCE)
        return nullptr;
    return m_rows[static_cast<size_t>(item)].equal ? &m_equalAttr : &m_differentAttr;
}

bool CCompareListCtrl::OnGetItemIsChecked(long item) const
{
    return item >= 0 && static_cast<size_t>(item) < m_ticked.size() && m_ticked[static_cast<size_t>(item)];
}

void CCompareListCtrl::OnChecked(wxListEvent& event)
{
    const long item = event.GetIndex();
    if (item >= 0 && static_cast<size_t>(item) < m_ticked.size())
        m_ticked[static_cast<size_t>(item)] = event.GetEventType() == wxEVT_LIST_ITEM_CHECKED;
    wxCommandEvent changed(EVT_COMPARE_TICKS_CHANGED);
    changed.SetEventObject(this);
    wxPostEvent(GetParent(), changed);
}
