#include "EditControl.h"

#include "CmdNameXmlInfo.h"

#include <wx/textctrl.h>

bool CEditControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* edit = new wxTextCtrl(ParentWnd, wxID_ANY, Command->Value);
    ApplyPageFont(edit);
    ValueWnd = edit;
    CreateHint(Command->GetDefaultText(true, 0));
    // Every change is committed at once, so an edit is never lost to a save that
    // comes before the field loses the focus.
    edit->Bind(wxEVT_TEXT, &CEditControl::OnTextChanged, this);
    Layout();
    return true;
}

void CEditControl::Refresh(int mode)
{
    // After a file was loaded the field shows what the file set, as the list
    // controls do; the base would show the device's value.
    if (mode == 2 && Command)
        ShowTextInValueWnd(Command->Value);
    else
        CControlBase::Refresh(mode);
}

void CEditControl::OnTextChanged(wxCommandEvent& event)
{
    event.Skip();
    auto* edit = static_cast<wxTextCtrl*>(ValueWnd.get());
    if (!edit)
        return;
    const wxString text = edit->GetValue();
    Command->SetValue(text, &text);
}
