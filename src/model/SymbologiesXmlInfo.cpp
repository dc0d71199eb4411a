#include "SymbologiesXmlInfo.h"

#include "app/Log.h"
#include "app/XmlFile.h"

#include <wx/xml/xml.h>

bool CSymbologiesXmlInfo::Load(const wxString& path, const char* source)
{
    m_entries.clear();
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "setting", source))
        return false;
    const wxXmlNode* table = document.GetRoot()->GetChildren();
    while (table && table->GetType() != wxXML_ELEMENT_NODE)
        table = table->GetNext();
    if (!table || table->GetName() != "Symbologies" || !table->GetChildren()) {
        const char* step = table && table->GetName() == "Symbologies" ? "GetChildren" : "GetName";
        logout_line(LOG_ERROR, source, __LINE__, "%s %s", step, "ERROR");
        return false;
    }
    for (const wxXmlNode* node = table->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "node")
            continue;
        m_entries.push_back({node->GetAttribute("name"), node->GetAttribute("value").Left(3),
                             node->GetAttribute("cmd")});
    }
    return true;
}

wxString CSymbologiesXmlInfo::NameOfCode(int code) const
{
    for (const auto& entry : m_entries) {
        long value = 0;
        if (entry.value.ToLong(&value) && value == code)
            return entry.name;
    }
    return "Unknown";
}
