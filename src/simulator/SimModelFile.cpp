#include "SimModelFile.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

namespace {

std::string Utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

// The value of an element is the content of its first child node.
std::string ElementValue(const wxXmlNode* element)
{
    const wxXmlNode* child = element->GetChildren();
    return child ? Utf8(child->GetContent()) : std::string();
}

void FillField(SSimSettingDefinition& definition, const wxXmlNode* element)
{
    const wxString name = element->GetName();
    std::string* field = name == "CommandName"    ? &definition.name
                         : name == "ControlType"  ? &definition.controlType
                         : name == "SettingsList" ? &definition.settingsList
                         : name == "Default"      ? &definition.defaultValue
                         : name == "Minimum"      ? &definition.minimum
                         : name == "Maximum"      ? &definition.maximum
                         : name == "CmdGetLen"    ? &definition.cmdGetLen
                                                  : nullptr;
    if (field)
        *field = ElementValue(element);
}

// Model files also list the tool's own panels (terminal, comparisons, settings
// barcodes, stored data) so that a model opened without a scanner keeps their pages.
// A scanner knows nothing of them and never reports them.
bool IsToolPanel(const SSimSettingDefinition& definition)
{
    static const char* const kPanels[] = {"COMMANDCENTER", "COMPAREDEFAULT", "COMPAREXML", "CREATEBARCODE",
                                          "BATCHDATADLG"};
    for (const char* panel : kPanels) {
        if (definition.controlType == panel)
            return true;
    }
    return false;
}

SSimSettingDefinition ReadCommand(const wxXmlNode* command)
{
    SSimSettingDefinition definition;
    for (const wxXmlNode* child = command->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() == wxXML_ELEMENT_NODE)
            FillField(definition, child);
    }
    return definition;
}

}  // namespace

bool CSimModelFile::Load(const std::string& path, CSimSettingsDatabase& database, std::string& error)
{
    wxLogNull quiet;  // reasons go to the caller, not to wx pop-ups or stderr
    const wxString fileName = wxString::FromUTF8(path.c_str());
    wxXmlDocument document;
    if (!wxFileName::FileExists(fileName) || !document.Load(fileName, "UTF-8")) {
        error = "cannot read " + path + " as XML";
        return false;
    }
    const wxXmlNode* root = document.GetRoot();
    if (!root || root->GetName() != "DeviceConfiguration") {
        error = path + " has no DeviceConfiguration root";
        return false;
    }
    CSimSettingsDatabase loaded;
    for (const wxXmlNode* node = root->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Command")
            continue;
        const SSimSettingDefinition definition = ReadCommand(node);
        if (!IsToolPanel(definition))
            loaded.Add(definition);
    }
    database = loaded;
    return true;
}
