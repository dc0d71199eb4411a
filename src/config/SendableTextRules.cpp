#include "SendableTextRules.h"

#include "app/NarrowText.h"
#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <algorithm>

namespace {

bool IsNarrowCharacter(wchar_t c)
{
    return IsNarrowText(&c, 1);
}

// The caption the user knows the setting by, with the name the scanner knows it by.
wxString SettingTitle(const wxString& commandName)
{
    const CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(commandName);
    const wxString caption = definition ? definition->GetFriendlyText() : wxString();
    if (caption.empty() || caption == commandName)
        return commandName;
    return caption + " (" + commandName + ")";
}

}  // namespace

bool IsSendableValue(const wxString& value)
{
    return IsNarrowText(value.wc_str(), value.length());
}

wxString UnsendableValueMessage(const wxString& commandName, const wxString& value)
{
    const std::wstring text = value.ToStdWstring();
    const auto refused = std::find_if_not(text.begin(), text.end(), IsNarrowCharacter);
    const wxString character = refused == text.end() ? wxString() : wxString(*refused);
    return wxString::Format("%s: %s \"%s\"", SettingTitle(commandName),
                            GetUiText("ID_ERROR_NOT_SENDABLE", "值中含有扫描器无法接收的字符，未作修改："), character);
}

void ReportUnsendableValue(const wxString& commandName, const wxString& value)
{
    ShowMessage(UnsendableValueMessage(commandName, value), wxOK | wxICON_WARNING);
}
