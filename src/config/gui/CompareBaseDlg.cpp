#include "CompareBaseDlg.h"
#include "UI/gui/Accessible.h"

#include "CompareListCtrl.h"
#include "app/UiText.h"
#include "UI/gui/WaitDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>

CCompareBaseDlg::CCompareBaseDlg(wxWindow* parent) : CHarbrekBaseDlg(parent) {}

void CCompareBaseDlg::CreateControls(const wxString& referenceTitle)
{
    m_referenceTitle = referenceTitle;
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_showUnmatched = new wxCheckBox(this, ID_SHOW_UNMATCHED, wxEmptyString);
    m_showMatched = new wxCheckBox(this, ID_SHOW_MATCHED, wxEmptyString);
    m_showUnmatched->SetValue(true);
    m_selectAll = new wxButton(this, ID_SELECT_ALL, wxEmptyString);
    m_clone = new wxButton(this, ID_CLONE, wxEmptyString);
    for (wxWindow* window : {static_cast<wxWindow*>(m_showUnmatched), static_cast<wxWindow*>(m_showMatched),
                             static_cast<wxWindow*>(m_selectAll), static_cast<wxWindow*>(m_clone)})
        buttons->Add(window, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    AddExtraControls(buttons);

    m_list = new CCompareListCtrl(this, HeaderText());
    SetAccessibleName(m_list, GetUiText("ID_TAB_COMPARISON", "Comparison"), EAccessibleRole::Table);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(buttons, 0, wxEXPAND | wxBOTTOM, 4);
    column->Add(m_list, 1, wxEXPAND);
    SetSizer(column);
    ApplySharedFont();

    m_showUnmatched->Bind(wxEVT_CHECKBOX, &CCompareBaseDlg::OnCheckBox, this);
    m_showMatched->Bind(wxEVT_CHECKBOX, &CCompareBaseDlg::OnCheckBox, this);
    m_selectAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SelectAll(); });
    m_clone->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Clone(); });
    Bind(EVT_COMPARE_TICKS_CHANGED, [this](wxCommandEvent&) { UpdateButtons(); });
    ApplyUiTexts();
    UpdateButtons();
}

wxString CCompareBaseDlg::HeaderText() const
{
    return wxString::Format("%s, 100;%s, 300; %s, 120;%s, 120", GetUiText("ID_CMP_ALL", "全部"),
                            GetUiText("ID_CMP_CMD", "命令"), m_referenceTitle, GetUiText("ID_CMP_CURRENT", "当前"));
}

void CCompareBaseDlg::ApplyUiTexts()
{
    m_showUnmatched->SetLabel(GetUiText("ID_CMP_SHOWUNMATCHED", "显示不匹配设置"));
    m_showMatched->SetLabel(GetUiText("ID_CMP_SHOWMATCHED", "显示匹配设置"));
    m_selectAll->SetLabel(GetUiText("ID_CMP_ALLSELECT", "全选"));
    m_clone->SetLabel(GetUiText("ID_CMP_CLONE", "Clone"));
    if (wxButton* browse = GetButton(ID_BROWSE))
        browse->SetLabel(GetUiText("ID_CMP_BROWSE", "浏览文件"));
#if wxUSE_TOOLTIPS
    m_clone->SetToolTip(GetUiText("ID_CMP_CLONE_TIP", "勾选要采用参考值的设置"));
#endif
    Layout();
}

wxButton* CCompareBaseDlg::GetButton(int id) const
{
    return dynamic_cast<wxButton*>(FindWindow(id));
}

bool CCompareBaseDlg::Fill()
{
    RunFill();
    return true;
}

void CCompareBaseDlg::RunFill()
{
    const bool unmatched = m_showUnmatched->GetValue();
    const bool matched = m_showMatched->GetValue();
    std::vector<SCompareRow> rows;
    CWaitDlg::RunWork([&] {
        rows = ComputeRows(unmatched, matched);
        return true;
    });
    m_list->ShowRows(std::move(rows));
    UpdateButtons();
}

void CCompareBaseDlg::SelectAll()
{
    m_list->TickAll();
    UpdateButtons();
}

void CCompareBaseDlg::Clone()
{
    const std::vector<CCmdNameXmlInfo*> ticked = m_list->TickedSettings();
    if (ticked.empty())
        return;
    CloneRows(ticked);
    Fill();
    // The other comparison on the page lists the settings just changed as well.
    for (wxWindow* sibling : GetParent()->GetChildren()) {
        auto* other = dynamic_cast<CCompareBaseDlg*>(sibling);
        if (other && other != this)
            other->Fill();
    }
}

// Select all needs rows, clone a ticked one.
void CCompareBaseDlg::UpdateButtons()
{
    m_selectAll->Enable(!m_list->GetRows().empty());
    m_clone->Enable(m_list->HasTickedRow());
}

void CCompareBaseDlg::OnCheckBox(wxCommandEvent& event)
{
    event.Skip();
    if (ReadyToFill())
        Fill();
}
