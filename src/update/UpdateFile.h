// One file offered by the update description: its name, version, the number the
// program compares its own with, size, whether it is packed and where to get it.
#pragma once

#include <wx/string.h>

#include <cstdint>

class wxXmlNode;

class CUpdateFile {
public:
    // Reads the children of a `File` element; unknown children are ignored.
    void ReadFrom(const wxXmlNode& element);

    wxString m_folder = "CURRENTDIR";
    wxString m_fileName;
    wxString m_version;
    wxString m_versionZip = "0";
    uint32_t m_length = 0;
    bool m_zipped = false;
    wxString m_url;
};
