#include "ToggleButtonControl.h"

#include "CmdNameXmlInfo.h"
#include "SaveCfg.h"

#include <wx/tglbtn.h>

bool CToggleButtonControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    const wxString caption = wxControl::EscapeMnemonics(Command->GetFriendlyText());
    auto* toggle = new wxToggleButton(ParentWnd, wxID_ANY, caption);
    ApplyPageFont(toggle);
    ValueWnd = toggle;
    m_hasStates = ReadToggleStates(*Command, CSaveCfg::GetInstance().IsOnline(), m_states);
    toggle->Enable(m_hasStates);
    toggle->SetValue(m_hasStates && IsToggleOn(m_states, Command->DeviceValue));
    toggle->Bind(wxEVT_TOGGLEBUTTON, &CToggleButtonControl::OnToggled, this);
    CreateHint(Command->GetDefaultText(false, 0));
    Layout();
    return true;
}

wxToggleButton* CToggleButtonControl::GetToggle() const
{
    return static_cast<wxToggleButton*>(ValueWnd.get());
}

void CToggleButtonControl::Refresh(int mode)
{
    wxToggleButton* toggle = GetToggle();
    if (!toggle || !Command || !m_hasStates)
        return;
    int32_t value = 0;
    if (ListValueForMode(*Command, mode, value))
        toggle->SetValue(value != m_states.offValue);
}

void CToggleButtonControl::OnToggled(wxCommandEvent& event)
{
    event.Skip();
    wxToggleButton* toggle = GetToggle();
    if (!toggle || !Command || !m_hasStates)
        return;
    wxString value;
    wxString label;
    if (ToggleCommit(m_states, toggle->GetValue(), Command->Value, value, label))
        Command->SetValue(value, &label);
}
