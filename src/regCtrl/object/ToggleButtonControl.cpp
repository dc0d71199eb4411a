#include "ToggleButtonControl.h"

#include "config/SaveCfg.h"
#include "model/CmdNameXmlInfo.h"

#include "app/UiText.h"

#include <wx/checkbox.h>

bool CToggleButtonControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    // A check box with the state's own word ("Enabled"/"Disabled") beside it: a
    // pressed toggle button is hard to tell from a released one in many themes.
    auto* toggle = new wxCheckBox(ParentWnd, wxID_ANY, wxEmptyString);
    ApplyPageFont(toggle);
    ValueWnd = toggle;
    m_hasStates = ReadToggleStates(*Command, CSaveCfg::GetInstance().IsOnline(), m_states);
    toggle->Enable(m_hasStates);
    ShowState(m_hasStates && IsToggleOn(m_states, Command->DeviceValue));
    toggle->Bind(wxEVT_CHECKBOX, &CToggleButtonControl::OnToggled, this);
    CreateHint(Command->GetDefaultText(false, 0));
    Layout();
    return true;
}

wxCheckBox* CToggleButtonControl::GetToggle() const
{
    return static_cast<wxCheckBox*>(ValueWnd.get());
}

void CToggleButtonControl::ShowState(bool on)
{
    wxCheckBox* toggle = GetToggle();
    toggle->SetValue(on);
    wxString word = on ? m_states.onLabel : m_states.offLabel;
    if (word.empty())
        word = on ? GetUiText("ID_TOGGLE_ON", "On") : GetUiText("ID_TOGGLE_OFF", "Off");
    toggle->SetLabel(wxControl::EscapeMnemonics(word));
}

void CToggleButtonControl::Refresh(int mode)
{
    wxCheckBox* toggle = GetToggle();
    if (!toggle || !Command || !m_hasStates)
        return;
    int32_t value = 0;
    if (ListValueForMode(*Command, mode, value))
        ShowState(value != m_states.offValue);
}

void CToggleButtonControl::OnToggled(wxCommandEvent& event)
{
    event.Skip();
    wxCheckBox* toggle = GetToggle();
    if (!toggle || !Command || !m_hasStates)
        return;
    wxString value;
    wxString label;
    if (ToggleCommit(m_states, toggle->GetValue(), Command->Value, value, label))
        Command->SetValue(value, &label);
    ShowState(toggle->GetValue());
}
