// Every transferred setting beside its default; clone resets the ticked ones.
#pragma once

#include "CompareBaseDlg.h"

class CCompareDefaultDlg : public CCompareBaseDlg {
public:
    explicit CCompareDefaultDlg(wxWindow* parent);

protected:
    std::vector<SCompareRow> ComputeRows(bool showUnmatched, bool showMatched) const override;
    void CloneRows(const std::vector<CCmdNameXmlInfo*>& ticked) override;
};
