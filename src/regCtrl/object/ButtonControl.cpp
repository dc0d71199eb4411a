#include "ButtonControl.h"

#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "config/WriteFailureText.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineWait.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ButtonRules.h"
#include "UI/gui/WaitDlg.h"

#include <wx/button.h>

bool CButtonControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    // The button carries the caption, so the row has no caption of its own.
    auto* button = new wxButton(ParentWnd, wxID_ANY, Command->GetFriendlyText());
    ApplyPageFont(button);
    ValueWnd = button;
    button->Enable(CSaveCfg::GetInstance().IsOnline());
    button->Bind(wxEVT_BUTTON, &CButtonControl::OnClick, this);
    Layout();
    return true;
}

bool CButtonControl::RunExchange(const std::function<bool()>& work)
{
    CLineOwner& line = CHBDataStreamMnt::GetInstance().Line();
    if (!MakeWayForLine(line, GetUiText("ID_LINE_ACTION_SEND", "发送此命令")))
        return false;
    return CWaitDlg::RunWork([&line, &work] {
        CLineHold hold = line.Take(LineUsers::kExchange);
        return work();
    });
}

void CButtonControl::ReportFailure(const wxString& commandName)
{
    wxString text = FailedWriteText();
    if (CSaveCfg::GetInstance().GetErrorList().empty())
        text += GetUiText("ID_SAVE_ERROR_CMD", "命令") + " :[" + commandName + "] ";
    ShowMessage(text, wxOK | wxICON_ERROR);
}

void CButtonControl::OnClick(wxCommandEvent& event)
{
    event.Skip();
    if (!Command || !CSaveCfg::GetInstance().IsOnline())
        return;
    const wxString name = Command->CommandName;
    RereadValues reread;
    if (!RunExchange([&name, &reread] { return ExchangeButtonCommand(name, reread); })) {
        ReportFailure(name);
        return;
    }
    // Back on the window thread: only here may settings and their controls change.
    TakeRereadValues(reread);
}
