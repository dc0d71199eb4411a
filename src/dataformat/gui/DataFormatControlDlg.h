// The data-format panel of a DATAFORMAT setting: a caption row and one row per data
// format. "DFMSET" settings have four fixed formats (0-3); "DFMADD" settings a list
// that grows by an empty row whenever the last one gets rules. Every change turns
// the rows into the setting's value.
#pragma once

#include "DataFormatUnitDlg.h"

#include <wx/scrolwin.h>
#include <wx/sizer.h>

#include <functional>
#include <vector>

class CDataFormatControlDlg : public wxScrolledWindow {
public:
    using ValueHandler = std::function<void(const wxString& value)>;

    // `command` is the setting's command name; `limit` its longest value (0: none);
    // `onValue` receives the recomputed value after every change.
    CDataFormatControlDlg(wxWindow* parent, const wxString& command, long limit, ValueHandler onValue);

    // Reads "Symbologies.xml" from the program's Config folder; entries that name a
    // setting are offered only when the current model's pages have that setting.
    static std::vector<SSymbologyChoice> LoadSymbologies();

    // Shows `value` in the rows and sends the recomputed value.
    void LoadValue(const wxString& value);
    wxString ComputeValue() const;
    bool IsListMode() const { return m_listMode; }
    const std::vector<CDataFormatUnitDlg*>& GetUnits() const { return m_units; }
    // Stops sending values, for a setting that is going away.
    void DetachValueHandler() { m_onValue = nullptr; }

private:
    CDataFormatUnitDlg* AddUnit();
    void RemoveUnit(CDataFormatUnitDlg* unit);
    void OnUnitChanged(CDataFormatUnitDlg* unit);
    void GrowOrShrink(CDataFormatUnitDlg* unit);
    bool Layout() override;
    void RemoveAllUnits();
    void LoadListUnit(const std::string& text);
    CDataFormatUnitDlg* UnitNumbered(int number) const;

    bool m_listMode = false;
    int m_listNumber = 0;  // "DFMADD": the format number new rows carry
    long m_limit = 0;
    ValueHandler m_onValue;
    std::vector<SSymbologyChoice> m_symbologies;
    std::vector<CDataFormatUnitDlg*> m_units;
    wxBoxSizer* m_rows = nullptr;
    bool m_sizingArea = false;
};
