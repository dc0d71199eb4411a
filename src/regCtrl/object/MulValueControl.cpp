#include "MulValueControl.h"

#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ButtonRules.h"

#include <wx/button.h>
#include <wx/ffile.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace {

// A white list is a short text file; anything larger is not one.
const wxFileOffset kMaxWhiteListBytes = 64 * 1024;

bool ReadSmallTextFile(const wxString& path, wxString& text)
{
    wxFFile file;
    if (!file.Open(path, "rb") || file.Length() < 0 || file.Length() > kMaxWhiteListBytes)
        return false;
    return file.ReadAll(&text, wxConvUTF8);
}

}  // namespace

bool CMulValueControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    auto* panel = new wxPanel(ParentWnd, wxID_ANY);
    ApplyPageFont(panel);
    ValueWnd = panel;

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* caption = new wxStaticText(panel, wxID_ANY, Command->GetFriendlyText());
    row->Add(caption, 1, wxALL, 2);

    auto* middle = new wxBoxSizer(wxVERTICAL);
    m_list = new wxListBox(panel, wxID_ANY);
    m_entry = new wxTextCtrl(panel, wxID_ANY);
    middle->Add(m_list, 1, wxEXPAND);
    middle->Add(m_entry, 0, wxEXPAND | wxTOP, 2);
    row->Add(middle, 1, wxEXPAND | wxALL, 2);

    auto* buttons = new wxGridSizer(2, 2, 2);
    AddButton(panel, buttons, "IDADD", "添加")->Bind(wxEVT_BUTTON, &CMulValueControl::OnAdd, this);
    AddButton(panel, buttons, "IDDELETE", "删除")->Bind(wxEVT_BUTTON, &CMulValueControl::OnDelete, this);
    CreateExtraButtons(panel, buttons);
    row->Add(buttons, 1, wxALL, 2);
    panel->SetSizer(row);

    ShowEntries(SplitListEntries(Command->Value));
    Layout();
    return true;
}

void CMulValueControl::CreateExtraButtons(wxWindow* panel, wxSizer* buttons)
{
    AddButton(panel, buttons, "IDWHITLIST", "白名单...")->Bind(wxEVT_BUTTON, &CMulValueControl::OnWhiteList, this);
}

wxButton* CMulValueControl::AddButton(wxWindow* panel, wxSizer* buttons, const char* textId, const char* fallback)
{
    auto* button = new wxButton(panel, wxID_ANY, GetUiText(textId, fallback), wxDefaultPosition, wxDefaultSize, 0,
                                wxDefaultValidator, textId);
    buttons->Add(button, 0, wxEXPAND);
    return button;
}

void CMulValueControl::Layout()
{
    // The panel takes the whole row; its sizer divides it into the usual columns.
    const SControlRect row = RowRect();
    if (ValueWnd) {
        PlaceWidget(ValueWnd, row.left + 10, row.top, row.right - 10, row.bottom);
        ValueWnd->Layout();
    }
}

void CMulValueControl::Refresh(int mode)
{
    if (mode == 2 && Command)
        ShowEntries(SplitListEntries(Command->Value));
    else if (wxString value; ValueForMode(mode, value))
        ShowEntries(SplitListEntries(value));
}

std::vector<wxString> CMulValueControl::Entries() const
{
    std::vector<wxString> entries;
    for (unsigned int i = 0; m_list && i < m_list->GetCount(); ++i)
        entries.push_back(m_list->GetString(i));
    return entries;
}

void CMulValueControl::ShowEntries(const std::vector<wxString>& entries)
{
    if (!m_list)
        return;
    m_list->Clear();
    for (const wxString& entry : entries)
        m_list->Append(entry);
}

void CMulValueControl::CommitEntries()
{
    const wxString value = JoinListEntries(Entries());
    Command->SetValue(value, &value);
}

bool CMulValueControl::AddEntry(const wxString& candidate)
{
    const wxString entry = AcceptableListEntry(Entries(), candidate);
    if (entry.empty() || !m_list)
        return false;
    m_list->Append(entry);
    return true;
}

wxString CMulValueControl::EntryText() const
{
    return m_entry ? m_entry->GetValue() : wxString();
}

void CMulValueControl::SetEntryText(const wxString& text)
{
    if (m_entry)
        m_entry->ChangeValue(text);
}

int CMulValueControl::SelectedEntry() const
{
    return m_list ? m_list->GetSelection() : wxNOT_FOUND;
}

void CMulValueControl::ReplaceEntry(int index, const wxString& text)
{
    if (m_list && index >= 0 && static_cast<unsigned int>(index) < m_list->GetCount())
        m_list->SetString(static_cast<unsigned int>(index), text);
}

void CMulValueControl::OnAdd(wxCommandEvent& event)
{
    event.Skip();
    if (!AddEntry(EntryText()))
        return;
    SetEntryText(wxString());
    CommitEntries();
}

void CMulValueControl::OnDelete(wxCommandEvent& event)
{
    event.Skip();
    const int selected = SelectedEntry();
    if (selected == wxNOT_FOUND)
        return;
    m_list->Delete(static_cast<unsigned int>(selected));
    CommitEntries();
}

void CMulValueControl::OnWhiteList(wxCommandEvent& event)
{
    event.Skip();
    SFileQuestion question;
    question.filter = BuildFileFilter("0:txt");
    const wxString path = ChooseFile(ParentWnd, question);
    wxString text;
    if (path.empty() || !ReadSmallTextFile(path, text))
        return;
    // The file's values join the list; what the user entered before stays.
    bool added = false;
    for (const wxString& entry : ReadWhiteListText(text))
        added = AddEntry(entry) || added;
    if (added)
        CommitEntries();
}
