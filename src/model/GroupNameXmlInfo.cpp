#include "GroupNameXmlInfo.h"

#include "app/XmlFile.h"

#include <wx/xml/xml.h>

void AppendResetFailName(wxString& names, const wxString& name)
{
    if (!names.empty())
        names += '\r';
    names += name;
}

CGroupNameXmlInfo::~CGroupNameXmlInfo()
{
    m_commands.clear();  // their controls go before the caption that heads them
    if (GroupControl && GetControlFactory())
        GetControlFactory()->DestroyControl(GroupControl);
}

void CGroupNameXmlInfo::ReadFrom(const wxXmlNode& element)
{
    for (const wxXmlNode* child = element.GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (child->GetName() == "Value") {
            Caption = GetElementValue(child);
        } else if (child->GetName() == "langID") {
            langID = GetElementValue(child);
        } else if (child->GetName() == "Command") {
            auto definition = std::make_unique<CCmdNameXmlInfo>();
            if (definition->ParseCommand(child->GetChildren()))
                m_commands.push_back(std::move(definition));
        }
    }
}

bool CGroupNameXmlInfo::CreateControls(void* parentWindow, const SControlRect& rect, bool manyGroupsOnPage)
{
    IControlFactory* factory = GetControlFactory();
    if (m_commands.empty() || !factory)
        return false;
    if (!GroupControl) {
        GroupControl = factory->CreateControl("GROUPNAME", nullptr, this, parentWindow, rect);
        if (GroupControl)
            factory->SetManyGroups(GroupControl, manyGroupsOnPage);
    }
    for (const auto& definition : m_commands) {
        definition->OwnerPage = OwnerPage;
        definition->CreateControl(parentWindow, this, rect);
    }
    return true;
}

void CGroupNameXmlInfo::MoveGroup(int32_t y)
{
    IControlFactory* factory = GetControlFactory();
    if (!factory || !GroupControl)
        return;
    factory->MoveControl(GroupControl, y);
    if (!Expanded)
        return;
    int32_t next = y + factory->GetControlHeight(GroupControl) + 10;
    for (const auto& definition : m_commands) {
        if (!definition->Control)
            continue;
        definition->MoveControl(next);
        next += factory->GetControlHeight(definition->Control) + 10;
    }
}

void CGroupNameXmlInfo::SetExpanded(bool expanded)
{
    Expanded = expanded ? 1 : 0;
    IControlFactory* factory = GetControlFactory();
    if (!factory)
        return;
    for (const auto& definition : m_commands) {
        if (definition->Control)
            factory->ShowControl(definition->Control, expanded);
    }
    factory->LayoutCurrentPage();
}

CCmdNameXmlInfo* CGroupNameXmlInfo::FindCommand(const wxString& commandName) const
{
    for (const auto& definition : m_commands) {
        if (definition->CommandName.CmpNoCase(commandName) == 0)
            return definition.get();
    }
    return nullptr;
}

void CGroupNameXmlInfo::ResetAllToDefaults()
{
    ResetFailCount = 0;
    ResetFailNames.clear();
    for (const auto& definition : m_commands) {
        if (definition->ResetToDefault() == 0) {
            ++ResetFailCount;
            AppendResetFailName(ResetFailNames, definition->CommandName);
        }
    }
}
