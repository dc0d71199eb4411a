#include "MulFileSelectControl.h"

#include "config/gui/FileChooser.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ButtonRules.h"

#include <wx/button.h>

void CMulFileSelectControl::CreateExtraButtons(wxWindow* panel, wxSizer* buttons)
{
    AddButton(panel, buttons, "IDPATH", "修改路径")->Bind(wxEVT_BUTTON, &CMulFileSelectControl::OnChangePath, this);
    AddButton(panel, buttons, "ID_BROWSE", "浏览...")->Bind(wxEVT_BUTTON, &CMulFileSelectControl::OnBrowse, this);
}

void CMulFileSelectControl::OnChangePath(wxCommandEvent& event)
{
    event.Skip();
    const int selected = SelectedEntry();
    const wxString path = AcceptableListEntry(Entries(), EntryText());
    if (selected == wxNOT_FOUND || path.empty())
        return;
    ReplaceEntry(selected, path);
    SetEntryText(wxString());
    CommitEntries();
}

void CMulFileSelectControl::OnBrowse(wxCommandEvent& event)
{
    event.Skip();
    SFileQuestion question;
    question.filter = BuildFileFilter(Command->SettingsList);
    const wxString path = ChooseFile(ParentWnd, question);
    if (path.empty())
        return;
    // The chosen file is listed at once; one already listed is only shown in the field.
    if (AddEntry(path))
        CommitEntries();
    else
        SetEntryText(path);
}
