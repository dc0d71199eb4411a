// The settings-barcode panel of the page that holds a CREATEBARCODE setting: three
// tabs (linear, batch, all-in-one), each building its own sheet.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/notebook.h>

class CBarCode1DDlg;
class CBarCode2DDlg;
class CBarCodeDMDlg;
class CBarCodePageDlg;

class CBarCodeDlg : public CHarbrekBaseDlg {
public:
    enum { TAB_1D, TAB_2D, TAB_ALL_IN_ONE };

    explicit CBarCodeDlg(wxWindow* parent);

    void ApplyUiTexts() override;
    // Selects the tab of the history view's barcode type and, when it asked for it,
    // builds that tab from the history list (and prints at once when asked).
    void OnShown();

    // The tab of a barcode type: 1 linear, 2 batch, anything else all-in-one.
    static int TabOfBarcodeType(int type);

    wxNotebook* GetNotebook() const { return m_notebook; }
    CBarCode1DDlg* Get1DPage() const { return m_page1D; }
    CBarCode2DDlg* Get2DPage() const { return m_page2D; }
    CBarCodeDMDlg* GetDMPage() const { return m_pageDM; }
    CBarCodePageDlg* GetPage(int tab) const;

private:
    wxNotebook* m_notebook = nullptr;
    CBarCode1DDlg* m_page1D = nullptr;
    CBarCode2DDlg* m_page2D = nullptr;
    CBarCodeDMDlg* m_pageDM = nullptr;
};
