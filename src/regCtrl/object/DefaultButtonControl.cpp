#include "DefaultButtonControl.h"

#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"
#include "model/GroupNameXmlInfo.h"

#include <wx/button.h>

bool CDefaultButtonControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* button = new wxButton(ParentWnd, wxID_ANY, GetUiText("ID_DEFAULT", "Default"));
    ApplyPageFont(button);
    ValueWnd = button;
    button->Bind(wxEVT_BUTTON, &CDefaultButtonControl::OnClick, this);
    Layout();
    return true;
}

void CDefaultButtonControl::OnClick(wxCommandEvent& event)
{
    event.Skip();
    // Each setting refreshes its own control; the button itself is skipped as a
    // setting that has no default.
    if (Group)
        Group->ResetAllToDefaults();
}
