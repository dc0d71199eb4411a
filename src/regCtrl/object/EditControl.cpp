#include "EditControl.h"

#include "config/SendableTextRules.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/textctrl.h>

bool CEditControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* edit = new wxTextCtrl(ParentWnd, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, EditStyle());
    ApplyPageFont(edit);
    ValueWnd = edit;
    LimitLength(*edit);
    CreateHint(HintText());
    CreateExtras();
    ShowValue(Command->Value);
    // A commit may send the value to the scanner at once, so the field commits when
    // the user is done with it (Enter, or the focus moving on) rather than on every
    // keystroke. Pressing a button such as Write to scanner takes the focus first,
    // so what was typed is committed before the button acts.
    edit->Bind(wxEVT_TEXT_ENTER, &CEditControl::OnEnter, this);
    edit->Bind(wxEVT_KILL_FOCUS, &CEditControl::OnKillFocus, this);
    Layout();
    return true;
}

// A text setting's range is its length: typing stops there, as a number stops at its
// maximum, rather than the scanner refusing the whole write later.
void CEditControl::LimitLength(wxTextCtrl& edit) const
{
    if (Command->ControlType == "EDIT" && Command->Maximum > 0 && Command->Maximum > Command->Minimum)
        edit.SetMaxLength(static_cast<unsigned long>(Command->Maximum));
}

CEditControl::~CEditControl()
{
    // Destroying a focused widget moves the focus; that must not commit into a
    // definition that is going away.
    if (wxTextCtrl* edit = GetEdit()) {
        edit->Unbind(wxEVT_TEXT_ENTER, &CEditControl::OnEnter, this);
        edit->Unbind(wxEVT_KILL_FOCUS, &CEditControl::OnKillFocus, this);
    }
}

long CEditControl::EditStyle() const
{
    return wxTE_PROCESS_ENTER;
}

wxString CEditControl::HintText() const
{
    return Command->GetDefaultText(true, 0);
}

wxTextCtrl* CEditControl::GetEdit() const
{
    return static_cast<wxTextCtrl*>(ValueWnd.get());
}

void CEditControl::ShowValue(const wxString& text)
{
    ShowTextInValueWnd(text);
}

void CEditControl::Refresh(int mode)
{
    // After a file was loaded the field shows what the file set, as the list
    // controls do; the base would show the device's value.
    wxString value;
    if (mode == 2 && Command)
        ShowValue(Command->Value);
    else if (ValueForMode(mode, value))
        ShowValue(value);
}

void CEditControl::CommitText(const wxString& text)
{
    if (!Command || text == Command->Value)
        return;
    if (!IsSendableValue(text)) {
        // The field goes back first: the message takes the focus, and leaving the
        // field must then find nothing to commit.
        ShowValue(Command->Value);
        ReportUnsendableValue(Command->CommandName, text);
        return;
    }
    Command->SetValue(text, &text);
}

void CEditControl::CommitEdit()
{
    if (wxTextCtrl* edit = GetEdit())
        CommitText(edit->GetValue());
}

void CEditControl::OnEnter(wxCommandEvent& event)
{
    // Enter ends the entry here; it is not passed on to a default button of the dialog.
    (void)event;
    CommitEdit();
}

void CEditControl::OnKillFocus(wxFocusEvent& event)
{
    event.Skip();
    CommitEdit();
}
