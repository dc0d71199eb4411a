#include "UiText.h"

#include "LanguageXmlInfo.h"
#include "Log.h"
#include "MnemonicText.h"

#include <mutex>

namespace {

std::mutex g_handlerMutex;
MessageHandler g_handler;

int AnswerWithoutHandler(const wxString& text, long style)
{
    VLOG(LOG_INFO, "message: %s", U8(text));
    if (style & wxYES_NO)
        return (style & wxCANCEL) ? wxCANCEL : wxNO;
    return wxOK;
}

}  // namespace

wxString GetUiText(const wxString& identifier, const wxString& fallback)
{
    return StripMnemonic(CLanguageXmlInfo::GetInstance().GetText(identifier, fallback));
}

wxString GetUiText(const char* identifier, const char* fallbackUtf8)
{
    return GetUiText(wxString(identifier), wxString::FromUTF8(fallbackUtf8));
}

wxString GetUiLabel(const char* identifier, const char* fallbackUtf8)
{
    return CLanguageXmlInfo::GetInstance().GetText(identifier, wxString::FromUTF8(fallbackUtf8));
}

long MessageStyleWithIcon(long style)
{
    const long icons = wxICON_ERROR | wxICON_WARNING | wxICON_QUESTION | wxICON_INFORMATION | wxICON_NONE;
    if (style & icons)
        return style;
    return style | ((style & wxYES_NO) ? wxICON_QUESTION : wxICON_INFORMATION);
}

int ShowMessage(const wxString& text, long messageStyle)
{
    // Every message shows its kind, also where a caller named only the buttons.
    const long style = MessageStyleWithIcon(messageStyle);
    MessageHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_handler;
    }
    return handler ? handler(text, style) : AnswerWithoutHandler(text, style);
}

void SetMessageHandler(MessageHandler handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_handler = std::move(handler);
}
