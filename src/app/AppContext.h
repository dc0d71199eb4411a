// Process-wide values set at start-up and read everywhere: where the program lives,
// its version, the command-line files and the current UI language.
#pragma once

#include <wx/string.h>

class CAppContext {
public:
    static CAppContext& GetInstance();
    static void ResetInstance();

    // The program directory always ends with the path separator.
    const wxString& GetProgramDirectory() const { return m_programDirectory; }
    void SetProgramDirectory(const wxString& directory);
    void SetProgramDirectoryFromExecutable(const wxString& executablePath);

    // Paths below the program directory: "Config", "Images", "Doc", "lua", "tmp", "dump".
    wxString GetFolder(const wxString& name) const;
    wxString GetFilePath(const wxString& folder, const wxString& file) const;

    // Creates "dump", "tmp" and "log"; an existing folder or a failure is ignored.
    void CreateWorkingFolders() const;

    const wxString& GetVersion() const { return m_version; }
    void SetVersion(const wxString& version) { m_version = version; }

    const wxString& GetOutputFile() const { return m_outputFile; }
    const wxString& GetConfigurationFile() const { return m_configurationFile; }
    void SetCommandLineFiles(const wxString& outputFile, const wxString& configurationFile);

    const wxString& GetApplicationName() const { return m_applicationName; }

    // The current UI language: its code ("CN" until a language is chosen), the
    // message-box language identifier (2052 for "CN", else 1033) and its help document.
    const wxString& GetLanguageCode() const { return m_languageCode; }
    int GetUiLanguageId() const { return m_uiLanguageId; }
    const wxString& GetHelpDocument() const { return m_helpDocument; }
    void SetLanguage(const wxString& code, const wxString& helpDocument);

    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    void SetScreenSize(int width, int height);

private:
    CAppContext();

    wxString m_programDirectory;
    wxString m_version;
    wxString m_outputFile;
    wxString m_configurationFile;
    wxString m_applicationName;
    wxString m_languageCode;
    int m_uiLanguageId = 1033;
    wxString m_helpDocument;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
};
