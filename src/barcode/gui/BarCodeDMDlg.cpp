#include "BarCodeDMDlg.h"

#include "ImageBarCodeDlg.h"
#include "app/AppContext.h"
#include "app/UiText.h"
#include "barcode/BarcodeRequest.h"

CBarCodeDMDlg::CBarCodeDMDlg(wxWindow* parent) : CBarCodePageDlg(parent)
{
    m_infoId = "ID_BARCODE2D_DLG_INFO";
    m_infoFallback = "所有指令生成一个条码";
    SetCreateLabelId("ID_BARCODE2D_DLG_CREATE");
    CreateLayout();
    GetSheetView()->GetSheet().thumbWidth = 32;
    GetSheetView()->GetSheet().thumbHeight = 32;
}

wxString CBarCodeDMDlg::SymbolFilePath()
{
    // In the program's working folder rather than wherever the program was started from.
    return CAppContext::GetInstance().GetFilePath("tmp", "output.bmp");
}

void CBarCodeDMDlg::CreateOptions(wxWindow* parent, wxSizer* column)
{
    m_chkText = new wxCheckBox(parent, wxID_ANY, wxEmptyString);
    column->Add(m_chkText, 0, wxBOTTOM, 8);
    column->Add(AddSlider(parent, m_txtScale, m_sldScale, 3), 0, wxEXPAND);
    m_chkText->Bind(wxEVT_CHECKBOX, &CBarCodeDMDlg::OnOptionChanged, this);
    m_sldScale->Bind(wxEVT_SLIDER, &CBarCodeDMDlg::OnOptionChanged, this);
}

void CBarCodeDMDlg::ApplyOptionTexts()
{
    m_chkText->SetLabel(GetUiText("ID_BARCODE2D_DLG_TEXT", "显示条码内容"));
    m_txtScale->SetLabel(GetUiText("ID_BARCODE2D_DLG_SCALE", "放大"));
}

void CBarCodeDMDlg::OnOptionChanged(wxCommandEvent&)
{
    ShowSheet();
}

void CBarCodeDMDlg::TakeOptions()
{
    CBarcodeSheet& sheet = GetSheetView()->GetSheet();
    sheet.hScale = m_sldScale->GetValue() + 1;
    sheet.vScale = sheet.hScale;
    sheet.showCaption = m_chkText->GetValue();
}

EBuildResult CBarCodeDMDlg::BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool split)
{
    return builder.BuildAllInOneFromText(text, SymbolFilePath(), split);
}

EBuildResult CBarCodeDMDlg::BuildFromHistory(CBarcodeSheetBuilder& builder, bool split)
{
    return builder.BuildAllInOneFromHistory(CBarcodeRequest::GetInstance().GetEntries(), SymbolFilePath(), split);
}
