#include "DeviceCmdNameXmlInfo.h"

#include "app/XmlFile.h"

#include <wx/xml/xml.h>

void CDeviceCmdNameXmlInfo::ReadFrom(const wxXmlNode& element)
{
    for (const wxXmlNode* child = element.GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        const wxString& name = child->GetName();
        wxString* field = name == "CommandName"    ? &CommandName
                          : name == "ControlType"  ? &ControlType
                          : name == "FriendlyText" ? &FriendlyText
                          : name == "langID"       ? &langID
                          : name == "SettingsList" ? &SettingsList
                          : name == "Default"      ? &Default
                          : name == "CmdGetLen"    ? &CmdGetLen
                          : name == "Maximum"      ? &Maximum
                          : name == "Minimum"      ? &Minimum
                                                   : nullptr;
        if (!field)
            continue;
        *field = GetElementValue(child);
        if (field == &SettingsList)
            SettingsListLangId = child->GetAttribute("langID");
    }
}
