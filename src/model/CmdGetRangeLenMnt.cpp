#include "CmdGetRangeLenMnt.h"

#include "SettingsEngine.h"

#include <cwchar>

std::unique_ptr<CCmdGetRangeLenMnt> CCmdGetRangeLenMnt::s_instance;

CCmdGetRangeLenMnt& CCmdGetRangeLenMnt::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CCmdGetRangeLenMnt());
    return *s_instance;
}

void CCmdGetRangeLenMnt::ResetInstance()
{
    s_instance.reset();
}

std::optional<wxString> CCmdGetRangeLenMnt::GetLengthText(const wxString& cmdGetLen)
{
    ISettingsEngine* engine = GetSettingsEngine();
    if (!engine || !engine->IsOnline())
        return cmdGetLen;
    auto cached = m_answers.find(cmdGetLen);
    if (cached != m_answers.end())
        return cached->second;
    wxString answer;
    // A failed query is not remembered: the next request asks again.
    if (!engine->Query(cmdGetLen, wxEmptyString, answer, "@"))
        return std::nullopt;
    m_answers[cmdGetLen] = answer;
    return answer;
}

long CCmdGetRangeLenMnt::GetLength(const wxString& cmdGetLen)
{
    const std::optional<wxString> text = GetLengthText(cmdGetLen);
    if (!text || text->empty())
        return 0;
    return std::wcstol(text->wc_str(), nullptr, 10);
}
