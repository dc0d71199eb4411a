#include "BarCode1DDlg.h"

#include "ImageBarCodeDlg.h"
#include "app/AppContext.h"
#include "app/UiText.h"
#include "barcode/BarcodeRequest.h"

#include <algorithm>

CBarCode1DDlg::CBarCode1DDlg(wxWindow* parent) : CBarCodePageDlg(parent)
{
    // Read each time the page starts, so an edited file takes effect without a restart.
    m_layout.Load(CBarCodeSettingsXmlInfo::GetDefaultPath());
    CreateLayout();
}

int CBarCode1DDlg::IntervalFor(int position)
{
    return std::max(16, (position + 1) * 30);
}

void CBarCode1DDlg::CreateOptions(wxWindow* parent, wxSizer* column)
{
    m_chkText = new wxCheckBox(parent, wxID_ANY, wxEmptyString);
    m_chkText->SetValue(m_layout.Show);
    column->Add(m_chkText, 0, wxBOTTOM, 8);
    column->Add(AddSlider(parent, m_txtHorizontal, m_sldHorizontal, 1), 0, wxEXPAND | wxBOTTOM, 6);
    column->Add(AddSlider(parent, m_txtVertical, m_sldVertical, 1), 0, wxEXPAND | wxBOTTOM, 6);
    column->Add(AddSlider(parent, m_txtInterval, m_sldInterval, 1), 0, wxEXPAND | wxBOTTOM, 6);
    m_chkCaption = new wxCheckBox(parent, wxID_ANY, wxEmptyString);
    m_chkCaptionAbove = new wxCheckBox(parent, wxID_ANY, wxEmptyString);
    m_chkCaptionAbove->Disable();
    column->Add(m_chkCaption, 0, wxBOTTOM, 6);
    column->Add(m_chkCaptionAbove, 0, wxLEFT, 16);
    for (wxSlider* slider : {m_sldHorizontal, m_sldVertical, m_sldInterval})
        slider->Bind(wxEVT_SLIDER, &CBarCode1DDlg::OnOptionChanged, this);
    for (wxCheckBox* box : {m_chkCaption, m_chkCaptionAbove})
        box->Bind(wxEVT_CHECKBOX, &CBarCode1DDlg::OnOptionChanged, this);
}

void CBarCode1DDlg::ApplyOptionTexts()
{
    m_chkText->SetLabel(GetUiText("ID_BARCODE1D_DLG_TEXT", "打印条码字符"));
    m_txtHorizontal->SetLabel(GetUiText("ID_BARCODE1D_DLG_HOR", "横向放大"));
    m_txtVertical->SetLabel(GetUiText("ID_BARCODE1D_DLG_VER", "纵向放大"));
    m_txtInterval->SetLabel(GetUiText("ID_BARCODE1D_DLG_INTERVAL", "interval"));
    m_chkCaption->SetLabel(GetUiText("ID_BARCODE1D_DLG_SHOW_FUNC_TEXT", "显示功能说明"));
    m_chkCaptionAbove->SetLabel(GetUiText("ID_BARCODE1D_DLG_SHOW_FUNC_TEXT_UP", "功能说明在条码上方"));
}

void CBarCode1DDlg::OnOptionChanged(wxCommandEvent&)
{
    m_chkCaptionAbove->Enable(m_chkCaption->GetValue());
    ShowSheet();
}

void CBarCode1DDlg::TakeOptions()
{
    CBarcodeSheet& sheet = GetSheetView()->GetSheet();
    sheet.hScale = m_sldHorizontal->GetValue() + 1;
    sheet.vScale = m_sldVertical->GetValue() + 1;
    sheet.interval = IntervalFor(m_sldInterval->GetValue());
    sheet.showCaption = m_chkCaption->GetValue();
    sheet.captionAbove = m_chkCaptionAbove->GetValue();
}

SLinearOptions CBarCode1DDlg::LinearOptions() const
{
    SLinearOptions options;
    options.layout = m_layout;
    options.showText = m_chkText->GetValue();
    return options;
}

EBuildResult CBarCode1DDlg::BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool)
{
    return builder.BuildLinearFromText(text, LinearOptions());
}

EBuildResult CBarCode1DDlg::BuildFromHistory(CBarcodeSheetBuilder& builder, bool)
{
    builder.BuildLinearFromHistory(CBarcodeRequest::GetInstance().GetEntries(), LinearOptions());
    return EBuildResult::Built;
}
