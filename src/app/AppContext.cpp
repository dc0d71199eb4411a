#include "AppContext.h"

#include "CrashDump.h"
#include "StartupRules.h"

#include <wx/filefn.h>
#include <wx/filename.h>

#include <memory>

namespace {
std::unique_ptr<CAppContext> g_instance;
}

CAppContext& CAppContext::GetInstance()
{
    if (!g_instance)
        g_instance.reset(new CAppContext());
    return *g_instance;
}

void CAppContext::ResetInstance()
{
    g_instance.reset();
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
}

void CAppContext::SetProgramDirectoryFromExecutable(const wxString& executablePath)
{
    wxFileName file(executablePath);
    file.MakeAbsolute();
    SetProgramDirectory(file.GetPath(wxPATH_GET_VOLUME | wxPATH_GET_SEPARATOR));
}

wxString CAppContext::GetFolder(const wxString& name) const
{
    return m_programDirectory + name;
}

wxString CAppContext::GetFilePath(const wxString& folder, const wxString& file) const
{
    return m_programDirectory + folder + wxFILE_SEP_PATH + file;
}

void CAppContext::CreateWorkingFolders() const
{
    for (const char* folder : {"dump", "tmp", "log"}) {
        const wxString path = GetFolder(folder);
        if (!wxDirExists(path))
            wxMkdir(path);
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
