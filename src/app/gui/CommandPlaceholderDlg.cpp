#include "CommandPlaceholderDlg.h"

#include "UiText.h"

#include <wx/sizer.h>

CCommandPlaceholderDlg::CCommandPlaceholderDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    SetBackgroundColour(wxColour(247, 249, 252));
    auto* top = new wxBoxSizer(wxVERTICAL);
    m_txtNotice = new wxStaticText(this, wxID_ANY, wxEmptyString);
    top->AddStretchSpacer();
    top->Add(m_txtNotice, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 24);
    top->AddStretchSpacer(2);
    SetSizer(top);
    ApplySharedFont();
    ApplyUiTexts();
}

void CCommandPlaceholderDlg::ApplyUiTexts()
{
    m_txtNotice->SetLabel(GetUiText("ID_CMD_PAGE_UNAVAILABLE", "此版本尚未提供命令交互页面。"));
    Layout();
}
