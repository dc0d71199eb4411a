// The report list of a comparison: a check box per row, the setting's caption, the
// reference value and the current value, the last two coloured by whether they
// agree. A grid rather than a list control: only a grid colours single cells on
// every platform.
#pragma once

#include "config/CompareRows.h"

#include <wx/grid.h>

#include <vector>

class CCompareListCtrl : public wxGrid {
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
    // Whether `row` is shown as a difference (its colour and bold values).
    bool IsMarkedDifferent(int row) const;

private:
    void ColourRow(int row, bool equal);
    void OnCellClick(wxGridEvent& event);

    std::vector<SCompareRow> m_rows;
    std::vector<bool> m_ticked;
};

// Sent to the list's parent when the user ticks or unticks a row.
wxDECLARE_EVENT(EVT_COMPARE_TICKS_CHANGED, wxCommandEvent);
