// CODEID: the table of code identifiers, one row per symbology the model offers, the
// identifier edited in place.
#pragma once

#include "ControlBase.h"
#include "regCtrl/rules/CodeIdRules.h"

#include <vector>

class wxGrid;
class wxGridEvent;

class CCodeIDControl : public CControlBase {
public:
    CCodeIDControl() { Height = 200; }

    bool Create() override;
    void Layout() override;
    void Refresh(int mode) override;

private:
    wxGrid* GetGrid() const;
    void FillCells();
    void OnCellChanged(wxGridEvent& event);

    std::vector<SCodeIdRow> m_rows;
};
