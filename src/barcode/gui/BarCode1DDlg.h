// The linear page: one Code 128 settings barcode per command, framed by the
// enter- and exit-setup codes, with magnification, interval and captions.
#pragma once

#include "BarCodePageDlg.h"

class CBarCode1DDlg : public CBarCodePageDlg {
public:
    explicit CBarCode1DDlg(wxWindow* parent);

    wxCheckBox* GetTextBox() const { return m_chkText; }
    wxSlider* GetHorizontalSlider() const { return m_sldHorizontal; }
    wxSlider* GetVerticalSlider() const { return m_sldVertical; }
    wxSlider* GetIntervalSlider() const { return m_sldInterval; }
    wxCheckBox* GetCaptionBox() const { return m_chkCaption; }
    wxCheckBox* GetCaptionAboveBox() const { return m_chkCaptionAbove; }
    // The interval between barcodes for a slider position: 30 pixels a step.
    static int IntervalFor(int position);

protected:
    void CreateOptions(wxWindow* parent, wxSizer* column) override;
    void ApplyOptionTexts() override;
    EBuildResult BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool split) override;
    EBuildResult BuildFromHistory(CBarcodeSheetBuilder& builder, bool split) override;
    void TakeOptions() override;

private:
    SLinearOptions LinearOptions() const;
    void OnOptionChanged(wxCommandEvent& event);

    CBarCodeSettingsXmlInfo m_layout;
    wxCheckBox* m_chkText = nullptr;
    wxStaticText* m_txtHorizontal = nullptr;
    wxSlider* m_sldHorizontal = nullptr;
    wxStaticText* m_txtVertical = nullptr;
    wxSlider* m_sldVertical = nullptr;
    wxStaticText* m_txtInterval = nullptr;
    wxSlider* m_sldInterval = nullptr;
    wxCheckBox* m_chkCaption = nullptr;
    wxCheckBox* m_chkCaptionAbove = nullptr;
};
