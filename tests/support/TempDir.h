// A fresh folder per test, removed afterwards.
#pragma once

#include <wx/string.h>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    // Ends with the path separator, like the program directory.
    const wxString& Path() const { return m_path; }
    wxString File(const wxString& name) const { return m_path + name; }

    void Write(const wxString& name, const std::string& utf8Content) const;
    std::string Read(const wxString& name) const;
    // Copies the shipped data tree (Config/, Images/, Doc/, lua/) into the folder.
    void CopyShippedData() const;

private:
    wxString m_path;
};
