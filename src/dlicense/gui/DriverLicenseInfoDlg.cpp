#include "DriverLicenseInfoDlg.h"

#include "app/UiText.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>

namespace {

const struct {
    const char* textId;
    const char* fallback;
} kSourceCaptions[] = {
    {"ID_DRIVERLICENSE_DATAFIELDS_INFO", "数据字段"},
    {"ID_DRIVERLICENSE_DATAFIELDS_INFO2", "数据字段2"},
    {"ID_DRIVERLICENSE_SEPERATORFIELDS_INFO", "分离字段"},
};

}  // namespace

CDriverLicenseInfoDlg::CDriverLicenseInfoDlg(wxWindow* parent, const std::vector<SLicenseEntry>& selection)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_DRIVERLICENSE_CAPTION", "驾照字段"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    OpenHelpOnF1(this);
    m_selection.entries = selection;
    CreateControls();
    ShowTarget(wxNOT_FOUND);
}

void CDriverLicenseInfoDlg::CreateControls()
{
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(CreateSourceColumn(), 1, wxEXPAND | wxALL, 6);
    auto* middle = new wxBoxSizer(wxVERTICAL);
    middle->AddStretchSpacer();
    middle->Add(new wxButton(this, ID_ADD, ">>"), 0, wxALL, 4);
    middle->Add(new wxButton(this, ID_REMOVE, "<<"), 0, wxALL, 4);
    middle->AddStretchSpacer();
    columns->Add(middle, 0, wxEXPAND);
    columns->Add(CreateTargetColumn(), 1, wxEXPAND | wxALL, 6);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(columns, 1, wxEXPAND);
    auto* buttons = new wxStdDialogButtonSizer();
    auto* ok = new wxButton(this, wxID_OK, GetUiLabel("IDOK", "确定(&O)"));
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(this, wxID_CANCEL, GetUiLabel("IDCANCEL", "取消(&C)")));
    buttons->Realize();
    column->Add(buttons, 0, wxEXPAND | wxALL, 6);
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
    SetSizerAndFit(column);
    SetSize(wxSize(900, 640));

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AddSelectedSources(); }, ID_ADD);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RemoveSelectedTarget(); }, ID_REMOVE);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { MoveSelectedTarget(-1); }, ID_UP);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { MoveSelectedTarget(+1); }, ID_DOWN);
    m_target->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { UpdateMoveButtons(); });
}

wxSizer* CDriverLicenseInfoDlg::CreateSourceColumn()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (int kind : {LICENSE_DATA_FIELDS, LICENSE_DATA_FIELDS2, LICENSE_SEPARATOR}) {
        column->Add(new wxStaticText(this, wxID_ANY,
                                     GetUiText(kSourceCaptions[kind].textId, kSourceCaptions[kind].fallback)));
        m_sources[kind] = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(320, 140), 0, nullptr,
                                        wxLB_EXTENDED | wxLB_NEEDED_SB);
        for (const SLicenseEntry& entry : CLicenseCode::ListOf(kind))
            m_sources[kind]->Append(entry.name);
        m_sources[kind]->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) { AddSelectedSources(); });
        column->Add(m_sources[kind], 1, wxEXPAND | wxBOTTOM, 6);
    }
    return column;
}

wxSizer* CDriverLicenseInfoDlg::CreateTargetColumn()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, GetUiText("ID_DRIVERLICENSE_RANGE", "[最小 0 - 最大 500]")));
    m_target = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(320, 400), 0, nullptr, wxLB_SINGLE);
    column->Add(m_target, 1, wxEXPAND);
    auto* moves = new wxBoxSizer(wxHORIZONTAL);
    moves->Add(new wxButton(this, ID_UP, GetUiText("ID_DRIVERLICENSE_UP", "上移")), 0, wxALL, 4);
    moves->Add(new wxButton(this, ID_DOWN, GetUiText("ID_DRIVERLICENSE_DOWN", "下移")), 0, wxALL, 4);
    column->Add(moves);
    return column;
}

void CDriverLicenseInfoDlg::AddSelectedSources()
{
    std::vector<SLicenseEntry> added;
    for (int kind : {LICENSE_DATA_FIELDS, LICENSE_DATA_FIELDS2, LICENSE_SEPARATOR}) {
        wxArrayInt rows;
        m_sources[kind]->GetSelections(rows);
        for (int row : rows)
            added.push_back(CLicenseCode::ListOf(kind)[static_cast<size_t>(row)]);
    }
    if (added.empty())
        return;
    const ELicenseAddOutcome outcome = m_selection.AddEntries(added);
    for (wxListBox* source : m_sources)
        source->DeselectAll();
    ShowTarget(static_cast<int>(m_selection.entries.size()) - 1);
    if (outcome == LICENSE_TOO_MANY_ENTRIES)
        ShowMessage(GetUiText("ID_DRIVERLICENSE_ERROR_MAX", "最大支持500!"), wxOK | wxICON_WARNING);
    else if (outcome == LICENSE_TOO_MANY_BYTES)
        ShowMessage(GetUiText("ID_DRIVERLICENSE_ERROR_BYTES", "所选内容超过999字节，其余字段未添加!"), wxOK | wxICON_WARNING);
}

void CDriverLicenseInfoDlg::RemoveSelectedTarget()
{
    const int selected = m_target->GetSelection();
    if (selected == wxNOT_FOUND)
        return;
    m_selection.entries.erase(m_selection.entries.begin() + selected);
    ShowTarget(std::min(selected, static_cast<int>(m_selection.entries.size()) - 1));
}

void CDriverLicenseInfoDlg::MoveSelectedTarget(int step)
{
    const int selected = m_target->GetSelection();
    const int other = selected + step;
    if (selected == wxNOT_FOUND || other < 0 || other >= static_cast<int>(m_selection.entries.size()))
        return;
    std::swap(m_selection.entries[static_cast<size_t>(selected)], m_selection.entries[static_cast<size_t>(other)]);
    ShowTarget(other);
}

void CDriverLicenseInfoDlg::ShowTarget(int selected)
{
    wxArrayString names;
    for (const SLicenseEntry& entry : m_selection.entries)
        names.Add(entry.name);
    m_target->Set(names);
    if (selected != wxNOT_FOUND)
        m_target->SetSelection(selected);
    UpdateMoveButtons();
}

// Up, down and remove act on the selected target entry; without one they would do nothing.
void CDriverLicenseInfoDlg::UpdateMoveButtons()
{
    const int selected = m_target->GetSelection();
    const int last = static_cast<int>(m_selection.entries.size()) - 1;
    FindWindow(ID_REMOVE)->Enable(selected != wxNOT_FOUND);
    FindWindow(ID_UP)->Enable(selected != wxNOT_FOUND && selected > 0);
    FindWindow(ID_DOWN)->Enable(selected != wxNOT_FOUND && selected < last);
}
