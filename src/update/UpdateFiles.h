// The update description: the files a server offers, and which of them are newer
// than this program.
#pragma once

#include "UpdateFile.h"

#include <wx/string.h>

#include <vector>

class CUpdateFiles {
public:
    // Reads a description (root "VostrelUpdate"); every `File` element becomes a
    // record. False, with the failing step logged, when the file is unusable.
    bool Load(const wxString& path);

    // Keeps only the records newer than `ownNumber` (compared as text, character by
    // character, so "9" is newer than "10"); `address` ends up with the last newer
    // record's address. The number of newer records.
    int CountNewer(wxString& address, const wxString& ownNumber);
    // The same against the running program's number.
    int CountNewer(wxString& address);

    const std::vector<CUpdateFile>& GetFiles() const { return m_files; }
    const wxString& GetProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const wxString& folder) { m_programFolder = folder; }

private:
    std::vector<CUpdateFile> m_files;
    wxString m_programFolder;
};

// The number a program version "a.b.c.d" is compared by: c as decimal text.
wxString OwnUpdateNumber(const wxString& version);
