#include "MnuCmdButtonControl.h"

#include "config/gui/ConfigPageEvents.h"
#include "model/CmdNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <wx/button.h>

bool CMnuCmdButtonControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    auto* button = new wxButton(ParentWnd, wxID_ANY, Command->GetFriendlyText());
    ApplyPageFont(button);
    ValueWnd = button;
    button->Bind(wxEVT_BUTTON, &CMnuCmdButtonControl::OnClick, this);
    Layout();
    return true;
}

CCmdNameXmlInfo* CMnuCmdButtonControl::FindTarget() const
{
    CCmdNameXmlInfo* target = nullptr;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) {
        if (!target && &definition != Command && definition.ControlType != "MNUCMD" &&
            definition.CommandName == Command->CommandName)
            target = &definition;
    });
    return target;
}

void CMnuCmdButtonControl::OnClick(wxCommandEvent& event)
{
    event.Skip();
    CCmdNameXmlInfo* target = Command ? FindTarget() : nullptr;
    if (!target || !ValueWnd)
        return;
    // Queued, so the page may change while this button's handler has returned.
    auto* request = new wxCommandEvent(EVT_VOSTREL_SHOW_SETTING);
    request->SetClientData(target);
    ValueWnd->GetEventHandler()->QueueEvent(request);
}
