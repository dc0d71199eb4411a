#include "MessageRecorder.h"

#include "app/UiText.h"

CMessageRecorder::CMessageRecorder()
{
    SetMessageHandler([this](const wxString& text, long style) {
        m_texts.push_back(text);
        m_styles.push_back(style);
        if (m_answers.empty())
            return static_cast<int>((style & wxYES_NO) ? wxYES : wxOK);
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

CMessageRecorder::~CMessageRecorder()
{
    SetMessageHandler(nullptr);
}
