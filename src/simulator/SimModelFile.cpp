#include "SimModelFile.h"

#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>

#include <expat.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace {

// The shipped model files are under 100 kB and four levels deep; beyond these
// bounds a file is refused before wxXmlDocument builds (and recursively frees) a tree.
const off_t kMaxModelFileBytes = 4 << 20;
const int kMaxModelFileDepth = 64;

struct SDepth {
    XML_Parser parser = nullptr;
    int depth = 0;
    bool exceeded = false;
};

void XMLCALL OnStart(void* data, const XML_Char*, const XML_Char**)
{
    auto* depth = static_cast<SDepth*>(data);
    if (++depth->depth > kMaxModelFileDepth) {
        depth->exceeded = true;
        XML_StopParser(depth->parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    --static_cast<SDepth*>(data)->depth;
}

// A streaming pass of the parser wxWidgets uses, keeping no tree. The tool's core
// has the same check; the simulator keeps its own reader on purpose (CMakeLists.txt).
bool IsShallowXml(const std::string& bytes)
{
    SDepth depth;
    depth.parser = XML_ParserCreate(nullptr);
    if (!depth.parser)
        return false;
    XML_SetUserData(depth.parser, &depth);
    XML_SetElementHandler(depth.parser, OnStart, OnEnd);
    const XML_Status status = XML_Parse(depth.parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE);
    XML_ParserFree(depth.parser);
    return status == XML_STATUS_OK && !depth.exceeded;
}

bool ReadModelBytes(const std::string& path, std::string& bytes, std::string& error)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxModelFileBytes) {
        error = "cannot read " + path + " as a model file (missing, no regular file, or over 4 MB)";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.eof() && file.fail()) {
        error = "cannot read " + path;
        return false;
    }
    if (!IsShallowXml(bytes)) {
        error = "cannot read " + path + " as XML (malformed, or nested deeper than 64 elements)";
        return false;
    }
    return true;
}

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
    std::string bytes;
    if (!ReadModelBytes(path, bytes, error))
        return false;
    wxMemoryInputStream in(bytes.data(), bytes.size());
    wxXmlDocument document;
    if (!document.Load(in, "UTF-8")) {
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
