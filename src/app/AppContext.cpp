#include "AppContext.h"

#include "CrashDump.h"
#include "StartupRules.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <memory>

namespace {
std::unique_ptr<CAppContext> g_context;
}

CAppContext& CAppContext::GetInstance()
{
    if (!g_context)
        g_context.reset(new CAppContext());
    return *g_context;
}

void CAppContext::ResetInstance()
{
    g_context.reset();
}

CAppContext::CAppContext()
    : m_version(FormatProgramVersion(wxString())), m_applicationName("Vostrel"), m_languageCode("CN"),
      m_uiLanguageId(2052)
{
    SetProgramDirectory(wxFileName::GetCwd());
}

void CAppContext::SetProgramDirectory(const wxString& directory)
{
    m_programDirectory = directory;
    if (!m_programDirectory.EndsWith(wxFILE_SEP_PATH))
        m_programDirectory += wxFILE_SEP_PATH;
    m_dataDirectory = m_programDirectory;
    m_userFolders = SUserFolders{m_programDirectory, m_programDirectory, m_programDirectory, m_programDirectory, {}};
}

void CAppContext::SetProgramDirectoryFromExecutable(const wxString& executablePath)
{
    wxFileName file(executablePath);
    file.MakeAbsolute();
    m_programDirectory = file.GetPath(wxPATH_GET_VOLUME | wxPATH_GET_SEPARATOR);
    m_dataDirectory = FindDataDirectory(m_programDirectory);
    m_userFolders = ResolveUserFolders();
}

wxString CAppContext::GetFolder(const wxString& name) const
{
    if (name == "tmp")
        return m_userFolders.cache + name;
    if (name == "dump" || name == "log")
        return m_userFolders.state + name;
    if (name == "AutoSave")
        return m_userFolders.documents + name;
    return m_dataDirectory + name;
}

wxString CAppContext::GetFilePath(const wxString& folder, const wxString& file) const
{
    return GetFolder(folder) + wxFILE_SEP_PATH + file;
}

wxString CAppContext::GetDocumentsFolder() const
{
    if (!wxDirExists(m_userFolders.documents)) {
        wxLogNull quiet;  // the write that follows tells whether it can go there
        wxFileName::Mkdir(m_userFolders.documents, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    }
    return m_userFolders.documents;
}

void CAppContext::CreateWorkingFolders()
{
    m_folderProblem = PrepareUserFolders(m_userFolders);
    if (m_dataDirectory != m_userFolders.config)
        SeedUserSettings(m_dataDirectory, m_userFolders.config);
    wxLogNull quiet;  // a missing working folder only costs its files
    for (const char* folder : {"dump", "tmp", "log"}) {
        const wxString path = GetFolder(folder);
        if (!wxDirExists(path))
            wxFileName::Mkdir(path, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    }
}

void CAppContext::SetCommandLineFiles(const wxString& outputFile, const wxString& configurationFile)
{
    m_outputFile = outputFile;
    m_configurationFile = configurationFile;
}

void CAppContext::SetLanguage(const wxString& code, const wxString& helpDocument)
{
    m_languageCode = code;
    m_uiLanguageId = UiLanguageIdFor(code);
    m_helpDocument = helpDocument;
    SetCrashReportLanguage(code);
}

void CAppContext::SetScreenSize(int width, int height)
{
    m_screenWidth = width;
    m_screenHeight = height;
}
