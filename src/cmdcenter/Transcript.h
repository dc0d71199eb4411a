// The lines the terminal pane shows, in order, so that they can be saved as text.
#pragma once

#include <wx/string.h>

#include <vector>

class CTranscript {
public:
    void Append(const wxString& line) { m_lines.push_back(line); }
    void Clear() { m_lines.clear(); }
    size_t Count() const { return m_lines.size(); }
    const std::vector<wxString>& Lines() const { return m_lines; }
    // Writes every line as UTF-8 text; false when the file cannot be written.
    bool SaveToFile(const wxString& path) const;

private:
    std::vector<wxString> m_lines;
};
