#include "LineWait.h"

#include "UiText.h"

wxString LineBusyText(const wxString& holder)
{
    return wxString::Format(GetUiText("ID_LINE_BUSY", "%s — 设备正忙，请在完成后重试。"),
                            holder);
}

bool MakeWayForLine(CLineOwner& line, const wxString& action)
{
    if (CLineHold hold = line.TakeWithin(LineUsers::kExchange, kLineShortWaitMs))
        return true;
    if (!line.CanAskHolderToStop())
        return true;
    const wxString holder = line.HolderText();
    if (holder.empty())
        return true;  // it has just finished
    const wxString question = wxString::Format(GetUiText("ID_LINE_ASK_STOP", "%s — 是否停止它以便%s？"), holder, action);
    if (ShowMessage(question, wxYES_NO | wxICON_QUESTION) != wxYES)
        return false;
    line.AskHolderToStop();
    return true;
}

CLineHold TakeLineForWindow(CLineOwner& line, const SLineUser& user)
{
    CLineHold hold = line.TakeWithin(user, kLineShortWaitMs);
    if (!hold) {
        const wxString holder = line.HolderText();
        ShowMessage(LineBusyText(holder.empty() ? GetUiText(user.textId, user.fallback) : holder),
                    wxOK | wxICON_INFORMATION);
    }
    return hold;
}
