#include "ButtonGetTextControl.h"

#include "ButtonControl.h"
#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/button.h>

bool CButtonGetTextControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* button = new wxButton(ParentWnd, wxID_ANY, GetUiText("ID_BUTTON_GETTEXT", "读取"));
    ApplyPageFont(button);
    ValueWnd = button;
    button->Enable(CSaveCfg::GetInstance().IsOnline());
    button->Bind(wxEVT_BUTTON, &CButtonGetTextControl::OnClick, this);
    // The answer takes the hint's column: a reported value has no default to hint at.
    HintStatic = new wxStaticText(ParentWnd, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                  wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    ApplyPageFont(HintStatic);
    Layout();
    return true;
}

void CButtonGetTextControl::ShowAnswer(const wxString& answer)
{
    if (!HintStatic)
        return;
    HintStatic->SetLabelText(answer);
    HintStatic->SetToolTip(answer);
}

void CButtonGetTextControl::OnClick(wxCommandEvent& event)
{
    event.Skip();
    if (!Command || !CSaveCfg::GetInstance().IsOnline())
        return;
    const wxString name = Command->CommandName;
    wxString answer;
    const bool answered =
        CButtonControl::RunExchange([&name, &answer] { return CSaveCfg::QueryCommand(name, "", answer, "@"); });
    ShowAnswer(answered ? answer : wxString());
    if (!answered)
        CButtonControl::ReportFailure(name);
}
