// Resolves the length a text or byte-string setting may have: offline the model file
// gives the number itself, online it names a query command whose answer is the
// length. Answers are cached so that each query goes out once.
#pragma once

#include <wx/string.h>

#include <map>
#include <memory>
#include <optional>

class CCmdGetRangeLenMnt {
public:
    static CCmdGetRangeLenMnt& GetInstance();
    static void ResetInstance();

    // The length as text; none when the device could not answer.
    std::optional<wxString> GetLengthText(const wxString& cmdGetLen);
    // The length as a number; 0 (no limit) when there is none.
    long GetLength(const wxString& cmdGetLen);

    size_t GetCachedCount() const { return m_answers.size(); }

private:
    CCmdGetRangeLenMnt() = default;

    std::map<wxString, wxString> m_answers;

    static std::unique_ptr<CCmdGetRangeLenMnt> s_instance;
};
