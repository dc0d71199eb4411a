// The report list of a comparison: a check box per row, the setting's caption, the
// reference value and the current value, the last two coloured by whether they agree.
#pragma once

#include "CompareRows.h"

#include <wx/listctrl.h>

#include <vector>

class CCompareListCtrl : public wxListCtrl {
public:
    // `header` in the form "%s, 100;%s, 300; %s, 120;%s, 120": title and width per column.
    CCompareListCtrl(wxWindow* parent, const wxString& header);

    void SetHeader(const wxString& header);
    void ShowRows(std::vector<SCompareRow> rows);
    const std::vector<SCompareRow>& GetRows() const { return m_rows; }

    void TickAll();
    void Tick(size_t row, bool ticked);
    bool IsTicked(size_t row) const { return m_ticked.at(row); }
    bool HasTickedRow() const;
    // The settings of the ticked rows, in list order.
    std::vector<CCmdNameXmlInfo*> TickedSettings() const;

private:
    wxString OnGetItemText(long item, long column) const override;
    wxItemAttr* OnGetItemColumnAttr(long item, long column) const override;
    bool OnGetItemIsChecked(long item) const override;
    void OnChecked(wxListEvent& event);

    std::vector<SCompareRow> m_rows;
    std::vector<bool> m_ticked;
    mutable wxItemAttr m_equalAttr;
    mutable wxItemAttr m_differentAttr;
};

// Sent to the list's parent when a row's tick changes.
wxDECLARE_EVENT(EVT_COMPARE_TICKS_CHANGED, wxCommandEvent);
