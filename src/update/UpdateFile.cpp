#include "UpdateFile.h"

#include "app/XmlFile.h"

#include <wx/xml/xml.h>

void CUpdateFile::ReadFrom(const wxXmlNode& element)
{
    for (const wxXmlNode* child = element.GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        const wxString name = child->GetName();
        const wxString value = GetElementValue(child);
        if (name == "FileName") {
            m_fileName = value;
        } else if (name == "Version") {
            m_version = value;
        } else if (name == "VersionZip") {
            m_versionZip = value;
        } else if (name == "Length") {
            unsigned long length = 0;
            m_length = value.ToULong(&length) ? static_cast<uint32_t>(length) : 0;
        } else if (name == "ZipFile") {
            m_zipped = value.CmpNoCase("YES") == 0;
        } else if (name == "URL") {
            m_url = value;
        }
    }
}
