// The symbology table "Symbologies.xml": names by the code a scanner reports with
// packed data and that data-format units carry.
#pragma once

#include <wx/string.h>

#include <vector>

struct SSymbologyEntry {
    wxString name;   // shown text
    wxString value;  // decimal code, at most three characters
    wxString cmd;    // setting that enables the symbology; empty when always offered
};

class CSymbologiesXmlInfo {
public:
    // Reads the table; `source` names the reader in the log lines of a failed load
    // ("Load <path> ERROR", "GetRoot ERROR", "GetName ERROR", "GetChildren ERROR").
    // A failed load leaves the table empty.
    bool Load(const wxString& path, const char* source);

    const std::vector<SSymbologyEntry>& GetEntries() const { return m_entries; }
    // The name of the entry whose code is `code`, or "Unknown".
    wxString NameOfCode(int code) const;

private:
    std::vector<SSymbologyEntry> m_entries;
};
