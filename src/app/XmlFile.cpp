#include "XmlFile.h"

#include "Log.h"

#include <algorithm>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/wfstream.h>

bool LoadXmlFile(wxXmlDocument& document, const wxString& path, const wxString& rootName, const char* source,
                 int line)
{
    return LoadXmlFile(document, path, {static_cast<const char*>(rootName.utf8_str())}, source, line);
}

bool LoadXmlFile(wxXmlDocument& document, const wxString& path, std::initializer_list<const char*> rootNames,
                 const char* source, int line)
{
    wxLogNull quiet;  // the reader reports through the log, never through pop-ups
    if (!wxFileName::FileExists(path) || !document.Load(path, "UTF-8")) {
        logout_line(LOG_ERROR, source, line, "%s %s %s", "Load", U8(path), "ERROR");
        return false;
    }
    const wxXmlNode* root = document.GetRoot();
    if (!root) {
        logout_line(LOG_ERROR, source, line, "%s %s", "GetRoot", "ERROR");
        return false;
    }
    const wxString rootName = root->GetName();
    if (std::none_of(rootNames.begin(), rootNames.end(), [&](const char* name) { return rootName == wxString::FromUTF8(name); })) {
        logout_line(LOG_ERROR, source, line, "%s %s", "GetName", "ERROR");
        return false;
    }
    return true;
}

wxString GetElementValue(const wxXmlNode* element)
{
    const wxXmlNode* child = element ? element->GetChildren() : nullptr;
    return child ? child->GetContent() : wxString();
}

bool SaveXmlFile(const wxXmlDocument& document, const wxString& path)
{
    wxLogNull quiet;
    wxTempFileOutputStream out(path);
    if (!out.IsOk() || !document.Save(out, 1))
        return false;
    return out.Commit();
}
