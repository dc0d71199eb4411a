#include "LineWait.h"

#include "app/UiText.h"

wxString LineBusyText(const wxString& holder)
{
    return wxString::Format(GetUiText("ID_LINE_BUSY", "%s — 设备正忙，请在完成后重试。"),
                            holder);
}

bool MakeWayForLine(CLineOwner& line, const wxString& action)
{
    // Nothing is taken here: the work that follows waits for the line on the line's
    // own thread, and only a holder that can be stopped is worth a question.
    if (!line.IsHeldElsewhere() || !line.CanAskHolderToStop())
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
