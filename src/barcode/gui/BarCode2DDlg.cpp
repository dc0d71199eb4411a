#include "BarCode2DDlg.h"

#include "ImageBarCodeDlg.h"
#include "app/UiText.h"
#include "barcode/BarcodeRender.h"
#include "barcode/BarcodeRequest.h"

#include <algorithm>

namespace {

const int kSymbologies[] = {SYMBOLOGY_PDF417, SYMBOLOGY_DATAMATRIX, SYMBOLOGY_QR};

}  // namespace

CBarCode2DDlg::CBarCode2DDlg(wxWindow* parent) : CBarCodePageDlg(parent)
{
    m_infoId = "ID_BARCODE2D_DLG_INFO";
    m_infoFallback = "所有指令生成一个条码";
    SetCreateLabelId("ID_BARCODE2D_DLG_CREATE");
    CreateLayout();
    CBarcodeSheet& sheet = GetSheetView()->GetSheet();
    sheet.thumbWidth = 32;
    sheet.thumbHeight = 32;
    sheet.framed = sheet.LoadFrameImages(SetupCommand());
}

void CBarCode2DDlg::CreateOptions(wxWindow* parent, wxSizer* column)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_txtSymbology = new wxStaticText(parent, wxID_ANY, wxEmptyString);
    m_cmbSymbology = new wxChoice(parent, wxID_ANY);
    row->Add(m_txtSymbology, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    row->Add(m_cmbSymbology, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(row, 0, wxEXPAND | wxBOTTOM, 8);
    column->Add(AddSlider(parent, m_txtScale, m_sldScale, 3), 0, wxEXPAND | wxBOTTOM, 6);
    m_chkText = new wxCheckBox(parent, wxID_ANY, wxEmptyString);
    m_chkCaptionAbove = new wxCheckBox(parent, wxID_ANY, wxEmptyString);
    column->Add(m_chkText, 0, wxBOTTOM, 6);
    column->Add(m_chkCaptionAbove, 0, wxBOTTOM, 6);
    column->Add(AddSlider(parent, m_txtInterval, m_sldInterval, 0), 0, wxEXPAND);
    m_sldScale->Bind(wxEVT_SLIDER, &CBarCode2DDlg::OnOptionChanged, this);
    m_sldInterval->Bind(wxEVT_SLIDER, &CBarCode2DDlg::OnOptionChanged, this);
    m_chkText->Bind(wxEVT_CHECKBOX, &CBarCode2DDlg::OnOptionChanged, this);
    m_chkCaptionAbove->Bind(wxEVT_CHECKBOX, &CBarCode2DDlg::OnOptionChanged, this);
}

void CBarCode2DDlg::ApplyOptionTexts()
{
    const int selection = m_cmbSymbology->IsEmpty() ? 1 : m_cmbSymbology->GetSelection();
    m_cmbSymbology->Clear();
    m_cmbSymbology->Append("PDF417");
    m_cmbSymbology->Append(GetUiText("ID_BARCODE2D_DLG_DATAMATRIX", "Data Matrix"));
    m_cmbSymbology->Append(GetUiText("ID_BARCODE2D_DLG_QR", "QR"));
    m_cmbSymbology->SetSelection(selection);
    m_txtSymbology->SetLabel(GetUiText("ID_BARCODE2D_DLG_SYMBOLOGIES", "Symbologies"));
    m_txtScale->SetLabel(GetUiText("ID_BARCODE2D_DLG_SCALE", "放大"));
    m_chkText->SetLabel(GetUiText("ID_BARCODE2D_DLG_TEXT", "显示条码内容"));
    m_chkCaptionAbove->SetLabel(GetUiText("ID_BARCODE1D_DLG_SHOW_FUNC_TEXT_UP", "功能说明在条码上方"));
    m_txtInterval->SetLabel(GetUiText("ID_BARCODE1D_DLG_INTERVAL", "interval"));
}

int CBarCode2DDlg::GetSymbology() const
{
    const int selection = std::clamp(m_cmbSymbology->GetSelection(), 0, 2);
    return kSymbologies[selection];
}

void CBarCode2DDlg::OnOptionChanged(wxCommandEvent&)
{
    ShowSheet();
}

void CBarCode2DDlg::TakeOptions()
{
    CBarcodeSheet& sheet = GetSheetView()->GetSheet();
    sheet.hScale = m_sldScale->GetValue() + 1;
    sheet.vScale = sheet.hScale;
    sheet.showCaption = m_chkText->GetValue();
    sheet.captionAbove = m_chkCaptionAbove->GetValue();
    // One position step is a pixel, so the whole range stays at the 16-pixel least.
    sheet.interval = std::max(16, m_sldInterval->GetValue() + 1);
}

void CBarCode2DDlg::ShowPayloadTooltip()
{
    const auto& images = GetSheetView()->GetSheet().GetImages();
    GetSheetView()->SetToolTip(images.empty() ? wxString() : images.front().payload);
}

EBuildResult CBarCode2DDlg::BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool split)
{
    const EBuildResult result = builder.BuildBatchFromText(text, GetSymbology(), m_chkText->GetValue(), split);
    ShowPayloadTooltip();
    return result;
}

EBuildResult CBarCode2DDlg::BuildFromHistory(CBarcodeSheetBuilder& builder, bool split)
{
    const EBuildResult result = builder.BuildBatchFromHistory(CBarcodeRequest::GetInstance().GetEntries(),
                                                              GetSymbology(), m_chkText->GetValue(), split);
    ShowPayloadTooltip();
    return result;
}
