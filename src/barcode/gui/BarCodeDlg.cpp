#include "BarCodeDlg.h"

#include "BarCode1DDlg.h"
#include "BarCode2DDlg.h"
#include "BarCodeDMDlg.h"
#include "app/UiText.h"
#include "barcode/BarcodeRender.h"
#include "barcode/BarcodeRequest.h"

#include <wx/sizer.h>

CBarCodeDlg::CBarCodeDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    // The renderer writes the human-readable text in the program's own font.
    SetBarcodeFaceName(GetSharedFont().IsOk() ? GetSharedFont().GetFaceName() : wxString("Arial"));
    m_notebook = new wxNotebook(this, wxID_ANY);
    m_page1D = new CBarCode1DDlg(m_notebook);
    m_page2D = new CBarCode2DDlg(m_notebook);
    m_pageDM = new CBarCodeDMDlg(m_notebook);
    m_notebook->AddPage(m_page1D, wxEmptyString);
    m_notebook->AddPage(m_page2D, wxEmptyString);
    m_notebook->AddPage(m_pageDM, wxEmptyString);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(m_notebook, 1, wxEXPAND);
    SetSizer(top);
    ApplySharedFont();
    ApplyUiTexts();
}

void CBarCodeDlg::ApplyUiTexts()
{
    m_notebook->SetPageText(TAB_1D, GetUiText("ID_BARCODE_TAB_1D", "1D Bar Code"));
    m_notebook->SetPageText(TAB_2D, GetUiText("ID_BARCODE_TAB_2D", "Batch Bar Code"));
    m_notebook->SetPageText(TAB_ALL_IN_ONE, GetUiText("ID_BARCODE_TAB_ALLINONE", "All In One Bar Code"));
    for (int tab = TAB_1D; tab <= TAB_ALL_IN_ONE; ++tab)
        GetPage(tab)->ApplyUiTexts();
}

int CBarCodeDlg::TabOfBarcodeType(int type)
{
    switch (type) {
    case CBarcodeRequest::TYPE_1D: return TAB_1D;
    case CBarcodeRequest::TYPE_2D: return TAB_2D;
    default: return TAB_ALL_IN_ONE;
    }
}

CBarCodePageDlg* CBarCodeDlg::GetPage(int tab) const
{
    switch (tab) {
    case TAB_1D: return m_page1D;
    case TAB_2D: return m_page2D;
    default: return m_pageDM;
    }
}

void CBarCodeDlg::OnShown()
{
    CBarcodeRequest& request = CBarcodeRequest::GetInstance();
    const int tab = TabOfBarcodeType(request.GetBarcodeType());
    m_notebook->SetSelection(tab);
    if (!request.IsBuildFromHistory())
        return;
    // Cleared before building, so a preview opened at once cannot start a second build.
    request.ClearBuildFromHistory();
    GetPage(tab)->BuildFromHistoryList(request.IsPrintAtOnce());
}
