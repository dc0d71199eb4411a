// The all-in-one page: every command in one square Data Matrix marked for reader
// initialisation, drawn by zint.
#pragma once

#include "BarCodePageDlg.h"

class CBarCodeDMDlg : public CBarCodePageDlg {
public:
    explicit CBarCodeDMDlg(wxWindow* parent);

    wxSlider* GetScaleSlider() const { return m_sldScale; }
    wxCheckBox* GetTextBox() const { return m_chkText; }
    // Where zint writes the symbol before it is read back.
    static wxString SymbolFilePath();

protected:
    void CreateOptions(wxWindow* parent, wxSizer* column) override;
    void ApplyOptionTexts() override;
    EBuildResult BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool split) override;
    EBuildResult BuildFromHistory(CBarcodeSheetBuilder& builder, bool split) override;
    void TakeOptions() override;

private:
    void OnOptionChanged(wxCommandEvent& event);

    wxCheckBox* m_chkText = nullptr;
    wxStaticText* m_txtScale = nullptr;
    wxSlider* m_sldScale = nullptr;
};
