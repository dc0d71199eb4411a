// Process-wide values set at start-up and read everywhere: where the program lives,
// its version, the command-line files and the current UI language.
#pragma once

#include "UserFolders.h"

#include <wx/string.h>

class CAppContext {
public:
    static CAppContext& GetInstance();
    static void ResetInstance();

    // The program directory (where the executables are) always ends with the path separator.
    const wxString& GetProgramDirectory() const { return m_programDirectory; }
    // One self-contained folder holds the data and everything the program writes, as
    // the tests and benchmarks lay it out.
    void SetProgramDirectory(const wxString& directory);
    // An installed or portable program: the data is found from the executable's place,
    // what the user changes goes to the user's own folders (UserFolders.h).
    void SetProgramDirectoryFromExecutable(const wxString& executablePath);

    // The shipped, read-only data: "Config", "Images", "Doc", "lua".
    const wxString& GetDataDirectory() const { return m_dataDirectory; }
    void SetDataDirectory(const wxString& directory) { m_dataDirectory = directory; }
    const SUserFolders& GetUserFolders() const { return m_userFolders; }
    void SetUserFolders(const SUserFolders& folders) { m_userFolders = folders; }

    // Folders by name: the data folders above; "tmp" in the cache folder; "dump" and
    // "log" in the state folder; "AutoSave" in the documents folder.
    wxString GetFolder(const wxString& name) const;
    wxString GetFilePath(const wxString& folder, const wxString& file) const;
    // A settings file the user changes ("hbs.ini", "server.cfg", ...).
    wxString GetSettingsFile(const wxString& name) const { return m_userFolders.config + name; }
    // Where the user's own files go by default ("batch.txt", sheets, pictures); made
    // when asked for.
    wxString GetDocumentsFolder() const;
    wxString GetDocumentFile(const wxString& name) const { return GetDocumentsFolder() + name; }

    // Makes the user's folders ("dump", "tmp" and "log" among them) and seeds the
    // settings from the shipped defaults. A folder that cannot be made gets a stand-in
    // and is remembered for one message (GetFolderProblem).
    void CreateWorkingFolders();
    const SFolderProblem& GetFolderProblem() const { return m_folderProblem; }

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
    wxString m_dataDirectory;
    SUserFolders m_userFolders;
    SFolderProblem m_folderProblem;
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
