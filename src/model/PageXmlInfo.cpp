#include "PageXmlInfo.h"

#include "app/XmlFile.h"

#include <wx/xml/xml.h>

void CPageXmlInfo::ReadFrom(const wxXmlNode& element)
{
    for (const wxXmlNode* child = element.GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (child->GetName() == "Value") {
            Name = GetElementValue(child);
        } else if (child->GetName() == "GroupName") {
            auto group = std::make_unique<CGroupNameXmlInfo>();
            group->ReadFrom(*child);
            m_groups.push_back(std::move(group));
        }
    }
}

CCmdNameXmlInfo* CPageXmlInfo::FindCommand(const wxString& commandName) const
{
    for (const auto& group : m_groups) {
        if (CCmdNameXmlInfo* definition = group->FindCommand(commandName))
            return definition;
    }
    return nullptr;
}

void CPageXmlInfo::ResetAllToDefaults()
{
    ResetFailCount = 0;
    ResetFailNames.clear();
    for (const auto& group : m_groups) {
        group->ResetAllToDefaults();
        ResetFailCount += group->ResetFailCount;
        if (!group->ResetFailNames.empty())
            AppendResetFailName(ResetFailNames, group->ResetFailNames);
    }
}

bool CPageXmlInfo::HasCommands() const
{
    for (const auto& group : m_groups) {
        if (!group->GetCommands().empty())
            return true;
    }
    return false;
}
