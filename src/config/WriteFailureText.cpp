#include "WriteFailureText.h"

#include "SaveCfg.h"
#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"

wxString FailedWriteText(bool namesValues)
{
    wxString text = GetUiText("ID_SAVE_ERROR", "保存失败 \r\n");
    for (const wxString& entry : CSaveCfg::GetInstance().GetErrorList()) {
        const wxString name = entry.Left(CSaveCfg::kCommandNameLength);
        const CCmdNameXmlInfo* setting = namesValues ? CPageMntXmlInfo::GetInstance().FindCommand(name) : nullptr;
        text += GetUiText("ID_SAVE_ERROR_CMD", "命令") + " :[" + (setting ? name : entry) + "] ";
        if (setting)
            text += setting->GetFriendlyText() + " \"" + setting->Value + "\": " + FailureReason(*setting, entry) + "\r\n";
    }
    return text;
}

wxString FailureReason(const CCmdNameXmlInfo& setting, const wxString& entry)
{
    if (setting.ControlType == "EDIT" && setting.Maximum > setting.Minimum &&
        static_cast<long>(setting.Value.length()) > setting.Maximum)
        return wxString::Format(GetUiText("ID_SAVE_ERROR_TOO_LONG", "长度超过 %d 个字符"), static_cast<int>(setting.Maximum));
    // The engine lists a whole command text when the frame itself could not be sent.
    if (entry.length() > CSaveCfg::kCommandNameLength)
        return GetUiText("ID_SAVE_ERROR_NOT_SENT", "未能发送到扫描器");
    return GetUiText("ID_SAVE_ERROR_REFUSED", "扫描器拒绝了该值");
}
