#include "CommandHistory.h"

#include "app/AppContext.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

wxString CCommandHistory::DefaultPath()
{
    return CAppContext::GetInstance().GetUserFolders().state + "cmdcenter.history";
}

wxArrayString CCommandHistory::Load(const wxString& path)
{
    wxArrayString commands;
    wxLogNull quiet;  // a history that cannot be read is skipped without a word
    wxFFile file;
    if (!wxFileName::FileExists(path) || !file.Open(path, "rb"))
        return commands;
    wxString text;
    if (!file.ReadAll(&text, wxConvUTF8))
        return commands;
    wxStringTokenizer lines(text, "\r\n", wxTOKEN_STRTOK);
    while (lines.HasMoreTokens())
        commands.Add(lines.GetNextToken());
    return commands;
}

bool CCommandHistory::Save(const wxString& path, const wxArrayString& commands)
{
    wxLogNull quiet;
    wxFFile file;
    if (!file.Open(path, "wb"))
        return false;
    const size_t first = commands.size() > kMostKept ? commands.size() - kMostKept : 0;
    wxString text;
    for (size_t i = first; i < commands.size(); ++i) {
        // A command spread over lines would come back as several; keep it as one.
        wxString command = commands[i];
        command.Replace("\r", " ");
        command.Replace("\n", " ");
        text << command << "\n";
    }
    return file.Write(text, wxConvUTF8) && file.Close();
}
