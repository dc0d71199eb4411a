#include "CompareDefaultDlg.h"

#include "app/UiText.h"

CCompareDefaultDlg::CCompareDefaultDlg(wxWindow* parent) : CCompareBaseDlg(parent)
{
    CreateControls(GetUiText("ID_CMP_DEFAULT", "默认"));
}

std::vector<SCompareRow> CCompareDefaultDlg::ComputeRows(bool showUnmatched, bool showMatched) const
{
    return CompareWithDefaults(showUnmatched, showMatched);
}

void CCompareDefaultDlg::CloneRows(const std::vector<CCmdNameXmlInfo*>& ticked)
{
    CloneDefaults(ticked);
}
