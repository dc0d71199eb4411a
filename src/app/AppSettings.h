// The settings file "hbs.ini" beside the program, section "cfg". Read once when the
// main window starts, written once when it closes; "lang" is written by the home page.
#pragma once

#include <wx/string.h>

struct SAppSettings {
    int imageX = 0;
    int imageY = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int logLevel = 2;   // 1 to 6
    int quickCfg = 0;   // 0 or 1
    int checkCpu = 0;   // non-zero: rescue mode
    wxString lang;      // empty: the language list's default
    wxString serialPorts;  // extra serial port paths, separated by ':' (never written back)
    wxString lastFolder;   // where the last file was opened or saved; empty: none yet
};

class CAppSettings {
public:
    static CAppSettings& GetInstance();
    static void ResetInstance();

    // Reads every key; an absent or unreadable file leaves every key at its default.
    // Applies the log level to the device-link library.
    void LoadAppSettings(const wxString& iniPath);
    // Writes the seven numeric keys, each as "%i"; false when the file cannot be written.
    bool SaveAppSettings() const;
    // Writes "lang" alone.
    bool SaveLanguage(const wxString& language) const;
    // Keeps `folder` as "LastFolder" and writes it alone, so that the next file dialog,
    // even after a crash, starts there.
    bool SaveLastFolder(const wxString& folder);

    SAppSettings& Values() { return m_values; }
    const SAppSettings& Values() const { return m_values; }
    const wxString& GetPath() const { return m_path; }

private:
    CAppSettings() = default;

    SAppSettings m_values;
    wxString m_path;
};

// A numeric key's text as the settings reader converts it: at most 15 characters
// (a 16-character buffer), then decimal digits after optional blanks and sign; text
// that is not a number reads as 0, numbers beyond the 32-bit range are clamped.
int ParseProfileInt(const wxString& text);
