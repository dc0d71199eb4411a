#include "FileNaming.h"

#include <wx/filename.h>
#include <wx/tokenzr.h>

wxString ProposedFileName(const wxString& model, const wxDateTime& date, const wxString& extension)
{
    wxString name = model;
    name.Trim(true).Trim(false);
    if (name.empty())
        name = "Vostrel";
    for (wxUniChar forbidden : wxFileName::GetForbiddenChars(wxPATH_WIN) + "/ ")
        name.Replace(wxString(forbidden), "_");
    name << "_" << date.Format("%Y-%m-%d");
    if (!extension.empty())
        name << "." << extension;
    return name;
}

wxString FilterExtension(const wxString& filter, int index)
{
    // Entries alternate description and patterns; the patterns of entry i are item 2i+1.
    wxStringTokenizer items(filter, "|", wxTOKEN_RET_EMPTY_ALL);
    for (int item = 0; items.HasMoreTokens(); ++item) {
        const wxString text = items.GetNextToken();
        if (item != 2 * index + 1)
            continue;
        const wxString first = text.BeforeFirst(';').Trim(true).Trim(false);
        const wxString extension = first.AfterFirst('.');
        return first.StartsWith("*.") && extension.find_first_of("*?") == wxString::npos ? extension : wxString();
    }
    return wxString();
}

wxString WithDefaultExtension(const wxString& path, const wxString& extension)
{
    if (extension.empty() || wxFileName(path).HasExt())
        return path;
    return path + "." + extension;
}

wxString StartFolder(const wxString& remembered, const wxString& documents, const wxString& home)
{
    for (const wxString& folder : {remembered, documents}) {
        if (!folder.empty() && wxFileName::DirExists(folder))
            return folder;
    }
    return home;
}
