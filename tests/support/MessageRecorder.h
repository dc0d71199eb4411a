// Stands in for the message dialog: records every message and answers questions
// from a script (wxYES when the script is empty).
#pragma once

#include <wx/string.h>

#include <deque>
#include <vector>

class CMessageRecorder {
public:
    CMessageRecorder();
    ~CMessageRecorder();

    void Answer(int answer) { m_answers.push_back(answer); }
    const std::vector<wxString>& Texts() const { return m_texts; }
    const std::vector<long>& Styles() const { return m_styles; }

private:
    std::vector<wxString> m_texts;
    std::vector<long> m_styles;
    std::deque<int> m_answers;
};
