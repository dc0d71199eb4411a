#include "UpdateFiles.h"

#include "app/AppContext.h"
#include "app/XmlFile.h"
#include "hbds/hbds.h"

#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <algorithm>

namespace {

const char* const kLogSource = "update\\UpdateFiles.cpp";

}  // namespace

bool CUpdateFiles::Load(const wxString& path)
{
    m_files.clear();
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "VostrelUpdate", kLogSource))
        return false;
    const wxXmlNode* first = document.GetRoot()->GetChildren();
    if (!first) {
        logout_line(2, kLogSource, __LINE__, "%s %s", "GetChildren", "ERROR");
        return false;
    }
    for (const wxXmlNode* node = first; node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "File")
            continue;
        CUpdateFile file;
        file.ReadFrom(*node);
        m_files.push_back(file);
    }
    return true;
}

int CUpdateFiles::CountNewer(wxString& address, const wxString& ownNumber)
{
    // Text order on purpose: the published numbers are compared as the server writes them.
    const auto notNewer = [&ownNumber](const CUpdateFile& file) { return !(ownNumber.compare(file.m_versionZip) < 0); };
    m_files.erase(std::remove_if(m_files.begin(), m_files.end(), notNewer), m_files.end());
    for (const CUpdateFile& file : m_files)
        address = file.m_url;
    return static_cast<int>(m_files.size());
}

int CUpdateFiles::CountNewer(wxString& address)
{
    return CountNewer(address, OwnUpdateNumber(CAppContext::GetInstance().GetVersion()));
}

wxString OwnUpdateNumber(const wxString& version)
{
    const wxArrayString parts = wxSplit(version, '.', '\0');
    long number = 0;
    if (parts.size() >= 3)
        parts[2].ToLong(&number);
    return wxString::Format("%ld", number);
}
