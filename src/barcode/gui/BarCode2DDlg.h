// The batch page: every command in one PDF417, Data Matrix or QR code between the
// fixed enter-setup, head and exit-setup pictures.
#pragma once

#include "BarCodePageDlg.h"

#include <wx/choice.h>

class CBarCode2DDlg : public CBarCodePageDlg {
public:
    explicit CBarCode2DDlg(wxWindow* parent);

    wxChoice* GetSymbologyChoice() const { return m_cmbSymbology; }
    wxSlider* GetScaleSlider() const { return m_sldScale; }
    wxCheckBox* GetTextBox() const { return m_chkText; }
    // SYMBOLOGY_PDF417, SYMBOLOGY_DATAMATRIX or SYMBOLOGY_QR.
    int GetSymbology() const;

protected:
    void CreateOptions(wxWindow* parent, wxSizer* column) override;
    void ApplyOptionTexts() override;
    EBuildResult BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool split) override;
    EBuildResult BuildFromHistory(CBarcodeSheetBuilder& builder, bool split) override;
    void TakeOptions() override;

private:
    void OnOptionChanged(wxCommandEvent& event);
    void ShowPayloadTooltip();

    wxStaticText* m_txtSymbology = nullptr;
    wxChoice* m_cmbSymbology = nullptr;
    wxStaticText* m_txtScale = nullptr;
    wxSlider* m_sldScale = nullptr;
    wxCheckBox* m_chkText = nullptr;
    wxCheckBox* m_chkCaptionAbove = nullptr;
    wxStaticText* m_txtInterval = nullptr;
    wxSlider* m_sldInterval = nullptr;
};
