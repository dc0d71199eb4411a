// Configuration files: a model's settings as command name and value pairs, written
// from the pages and the scanner, read back into the value map, prepared for sending
// to another scanner, and the two side files that rename and leave out commands.
#include "SaveCfg.h"

#include "SendableTextRules.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "app/XmlFile.h"
#include "device/DeviceInfo.h"
#include "device/HBDataStreamMnt.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <wx/datetime.h>
#include <wx/xml/xml.h>

#include <algorithm>
#include <set>
#include <utility>

// Messages of this file go out under the name the log readers know it by.
#define FILE_LOG(level, ...) logout_line((level), kFilesLogSource, __LINE__, __VA_ARGS__)

namespace {

const char* const kFilesLogSource = "SaveConfig.cpp";
// A reply with more items than this is cut: no model has nearly as many settings,
// so anything beyond is a garbled reply.
const size_t kMaxSavedReplyItems = 1024;
// Name and value of one text of the send list; longer ones are refused, because the
// row table of a send has no room for them and a cut value would be another setting.
const size_t kMaxSendTextLength = 2048;

wxString ConfigPath(const char* fileName)
{
    return CAppContext::GetInstance().GetFilePath("Config", fileName);
}

wxString MatchNameOf(const CDeviceInfo* model)
{
    return model ? model->m_matchName : wxString();
}

bool LoadConfigurationFile(wxXmlDocument& document, const wxString& path)
{
    return LoadXmlFile(document, path, {"Vostrel", "Vastrel"}, kFilesLogSource);
}

// wxXmlNode's parent constructor puts a node first; files keep their order, so
// children are appended at the end instead.
wxXmlNode* AppendElement(wxXmlNode& parent, const wxString& name)
{
    auto* element = new wxXmlNode(wxXML_ELEMENT_NODE, name);
    parent.AddChild(element);
    return element;
}

void AppendTextElement(wxXmlNode& parent, const wxString& name, const wxString& text)
{
    wxXmlNode* element = AppendElement(parent, name);
    if (!text.empty())
        element->AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxString(), text));
}

void AppendCommand(wxXmlNode& root, const wxString& name, const wxString* value)
{
    wxXmlNode* element = AppendElement(root, "Command");
    element->AddAttribute("CommandName", name);
    if (value)
        element->AddAttribute("Value", *value);
}

struct SSavedItem {
    wxString name;
    wxString value;
    bool taken = false;
};

// The scanner's current values, or none without a scanner.
std::vector<SSavedItem> AskCurrentValues(CSaveCfg& engine)
{
    // Without a scanner the file is written at once, by whichever thread saves it.
    if (!CHBDataStreamMnt::GetInstance().IsOpen())
        return {};
    size_t count = 0;
    const ReplyItem* items = engine.SendCommand(L"@*", L"", count);
    if (!items)
        return {};
    if (count > kMaxSavedReplyItems) {
        FILE_LOG(LOG_INFO, "%s=%i", "CUR", static_cast<int>(count));
        count = kMaxSavedReplyItems;
    }
    std::vector<SSavedItem> saved(count);
    for (size_t i = 0; i < count; ++i) {
        saved[i].name = items[i].command;
        saved[i].value = items[i].value;
    }
    return saved;
}

void MarkTaken(std::vector<SSavedItem>& items, const wxString& name)
{
    for (SSavedItem& item : items) {
        if (!item.taken && item.name == name) {
            item.taken = true;
            return;
        }
    }
}

bool IsPassNodeDeciding(const wxString& type, const wxString& cmd, const wxString& name, const wxString& value,
                        bool& leaveOut)
{
    if (type.empty())
        return false;
    if (type == "3") {
        leaveOut = false;
        return cmd == name;
    }
    leaveOut = true;
    if (type == "2")
        return value.empty();
    // An empty "Cmd" would be part of every name; such a node is a slip of the pen,
    // not a wish to leave out the whole configuration.
    if (type == "1")
        return !cmd.empty() && name.Find(cmd) != wxNOT_FOUND;
    return cmd == name;
}

// More than any model has; a file beyond is no configuration but a flood.
const size_t kMaxFileSettings = 4096;

// One line of a data-format value as the data-format panel writes it: its label
// ("Data Format N:") and the unit texts, which hold neither separator nor line break.
bool IsDataFormatLine(const wxString& line)
{
    const wxString label = "Data Format ";
    if (line.length() <= label.length() + 1 || !line.StartsWith(label))
        return false;
    const wxUniChar number = line[label.length()];
    return number >= '0' && number <= '9' && line[label.length() + 1] == ':' &&
           line.find_first_of(";\r\n") == wxString::npos;
}

// A data-format value: lines that each end in ";" and may be followed by CR LF.
bool IsDataFormatValue(const wxString& value)
{
    size_t start = 0;
    while (start < value.length()) {
        const size_t end = value.find(';', start);
        if (end == wxString::npos || !IsDataFormatLine(value.Mid(start, end - start)))
            return false;
        start = end + 1;
        if (value.Mid(start, 2) == "\r\n")
            start += 2;
    }
    return true;
}

wxString OtherModelReason(CDeviceInfo* model, const wxString& fileDeviceType)
{
    if (!model)
        return wxString();
    if (fileDeviceType.empty())
        return "the file names no scanner model (--force sends it anyway)";
    if (model->Matches(fileDeviceType, true))
        return wxString();
    return "the file is for " + fileDeviceType + ", this scanner is " + model->m_key + " (--force sends it anyway)";
}

// Settings that stay in the tool (file paths, lists of values) are never sent, so
// any character may stand in them.
bool GoesToScanner(const wxString& name)
{
    const CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(name);
    return !definition || definition->IsTransferredControl();
}

// A value that the scanner would receive with "?" in place of a character refuses
// the whole file, with a message naming the setting, so that nothing of it is half
// taken.
bool HoldsUnsendableValue(const wxXmlNode& root)
{
    for (const wxXmlNode* node = root.GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Command")
            continue;
        const wxString name = node->GetAttribute("CommandName");
        const wxString text = name + node->GetAttribute("Value");
        if (IsSendableValue(text) || !GoesToScanner(name))
            continue;
        FILE_LOG(LOG_INFO, "%s refused: a character outside the narrow code page", U8(name));
        ReportUnsendableValue(name, text);
        return true;
    }
    return false;
}

}  // namespace

bool CSaveCfg::SaveConfiguration(const wxString& path)
{
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (pages.GetPages().empty())
        return false;

    wxXmlDocument document;
    auto* root = new wxXmlNode(wxXML_ELEMENT_NODE, "Vostrel");
    root->AddAttribute("DeviceType", MatchNameOf(m_currentModel));
    document.SetRoot(root);

    std::vector<SSavedItem> deviceItems = AskCurrentValues(*this);
    int pageCount = 0;
    int pageSaved = 0;
    pages.ForEachCommand([&](const CCmdNameXmlInfo& definition) {
        ++pageCount;
        if (!definition.IsSavedControl())
            return;
        MarkTaken(deviceItems, definition.CommandName);
        if (IsPassCommand(definition.CommandName, definition.Value))
            return;
        const bool withoutValue = definition.ControlType.CmpNoCase("CODEID") == 0;
        AppendCommand(*root, definition.CommandName, withoutValue ? nullptr : &definition.Value);
        ++pageSaved;
    });

    int allSaved = pageSaved;
    std::set<wxString> seen;
    for (const SSavedItem& item : deviceItems) {
        const bool repeated = !seen.insert(item.name).second;
        if (item.taken || repeated || IsPassCommand(item.name, item.value))
            continue;
        FILE_LOG(LOG_INFO, "Add Key=%s Value=%s", U8(item.name), U8(item.value));
        AppendCommand(*root, item.name, &item.value);
        ++allSaved;
    }

    FILE_LOG(LOG_INFO, "%s=%i %s=%i %s=%i", "XmlStrsNum", static_cast<int>(deviceItems.size()), "PageXmlNum",
             pageCount, "savePageXmlNum", pageSaved);
    FILE_LOG(LOG_INFO, "%s=%i", "AllXmlNum", allSaved);
    m_lastFileError.clear();
    if (!SaveXmlFile(document, path, m_lastFileError)) {
        FILE_LOG(LOG_ERROR, "%s %s %s", "Save", U8(path), "ERROR");
        return false;
    }
    return true;
}

wxString CSaveCfg::OpenFailureText() const
{
    if (m_lastFileError.empty())
        return wxString();
    return GetUiText("ID_DEVICE_DLG_OPEN_CFG_ERROR", "打开配置文件失败!") + "\r\n" + m_lastFileError;
}

bool CSaveCfg::OpenConfiguration(const wxString& path, bool checkDevice)
{
    ClearValues();
    m_lastFileError.clear();
    wxXmlDocument document;
    if (!LoadConfigurationFile(document, path)) {
        m_lastFileError = GetLastXmlLoadError();
        return false;
    }
    const wxXmlNode* root = document.GetRoot();
    if (HoldsUnsendableValue(*root))
        return false;
    m_fileDeviceType = root->GetAttribute("DeviceType");

    if (checkDevice && !(m_currentModel && m_currentModel->Matches(m_fileDeviceType, true))) {
        const wxString question = GetUiText("ID_OPEN_ERROR", "当前设备名称不匹配,是否强行载入配置文件？");
        if (ShowMessage(question, wxYES_NO | wxICON_QUESTION) != wxYES)
            return false;
    }

    wxString unsupported;
    for (const wxXmlNode* node = root->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Command")
            continue;
        const wxString name = node->GetAttribute("CommandName");
        if (m_deviceCommandList.Find(name) == wxNOT_FOUND)
            unsupported += unsupported.empty() ? name : "," + name;
        if (!name.empty() && m_values.find(name) == m_values.end())
            SetMapValue(name, node->GetAttribute("Value"));
    }
    m_unsupportedList = unsupported;
    return true;
}

bool CSaveCfg::LoadFileForSending(const wxString& path)
{
    ClearValues();
    m_sendList.clear();
    m_fileRefused.clear();
    m_fileLeftOut.clear();
    m_fileEmptyValues.clear();
    m_lastFileError.clear();
    wxXmlDocument document;
    if (!LoadConfigurationFile(document, path)) {
        m_lastFileError = GetLastXmlLoadError();
        return false;
    }
    const wxXmlNode* root = document.GetRoot();
    if (HoldsUnsendableValue(*root))
        return false;
    m_fileDeviceType = root->GetAttribute("DeviceType");
    std::map<wxString, SFileEntry> entries;
    std::vector<wxString> order;
    for (const wxXmlNode* node = root->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Command")
            continue;
        const wxString name = node->GetAttribute("CommandName");
        if (name.empty() || name == "DFMSIN" || name == "INTERF")
            continue;
        auto [entry, added] = entries.try_emplace(name);
        const wxString value = node->GetAttribute("Value");
        if (std::find(entry->second.values.begin(), entry->second.values.end(), value) == entry->second.values.end())
            entry->second.values.push_back(value);
        if (added) {
            if (entries.size() > kMaxFileSettings) {
                m_lastFileError = wxString::Format("it holds more than %u settings", static_cast<unsigned>(kMaxFileSettings));
                return false;
            }
            order.push_back(name);
            entry->second.value = node->GetAttribute("Value");
        } else if (node->GetAttribute("Value") != entry->second.value) {
            entry->second.conflicting = true;
        }
        ++entry->second.count;
    }
    for (const wxString& name : order)
        SortFileEntry(name, entries[name]);
    return true;
}

void CSaveCfg::SortFileEntry(const wxString& name, const SFileEntry& entry)
{
    const wxString& value = entry.value;
    const wxString text = name + value;
    if (entry.conflicting) {
        // Every value is shown: the first alone could equal the scanner's and look settled.
        wxString values;
        for (const wxString& each : entry.values)
            values += (values.empty() ? "" : " or ") + each;
        m_fileRefused.push_back({name, values, wxString::Format("given %u times with different values", entry.count)});
    } else if (IsPassCommand(name, value)) {
        m_fileLeftOut.push_back({name, value, "left out: no setting but a query, an action or the scanner's own"});
    } else if (!GoesToScanner(name)) {
        // The tool's own choices (code identifiers, file paths) never reach a scanner.
    } else if (!IsWellFormedCommandName(name)) {
        // The name leads the text sent: a separator or a longer name would carry
        // another setting the file does not show.
        m_fileRefused.push_back({name, value, "a name that is not six capital letters or digits"});
    } else if (IsQueryValue(value)) {
        m_fileLeftOut.push_back({name, value, "left out: a query, which sets nothing"});
    } else if (value.empty()) {
        // Many settings are empty on the scanner too; only a comparison can tell.
        m_fileEmptyValues.push_back(name);
    } else if (text.length() >= kMaxSendTextLength) {
        m_fileRefused.push_back({name, value, wxString::Format("a value of %u characters (at most %u)",
                                                               static_cast<unsigned>(value.length()),
                                                               static_cast<unsigned>(kMaxSendTextLength - 1 - name.length()))});
    } else if (!IsSingleSettingValue(name, value)) {
        m_fileRefused.push_back({name, value, "a value holding ';' or a line break, which the scanner would take as more settings"});
    } else if (!IsSendableValue(text)) {
        FILE_LOG(LOG_INFO, "%s left out: a character outside the narrow code page", U8(name));
        m_fileLeftOut.push_back({name, value, "left out: a character the scanner cannot take"});
    } else {
        if (entry.count > 1)
            m_fileLeftOut.push_back({name, value, wxString::Format("given %u times, taken once", entry.count)});
        m_sendList.push_back(text);
    }
}

bool CSaveCfg::IsWellFormedCommandName(const wxString& name)
{
    if (name.length() != CSaveCfg::kCommandNameLength)
        return false;
    for (const wxUniChar c : name) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool CSaveCfg::IsSingleSettingValue(const wxString& name, const wxString& value)
{
    if (value.find_first_of(";\r\n") == wxString::npos)
        return true;
    return (name == "DFMSET" || name == "DFMADD") && IsDataFormatValue(value);
}

bool CSaveCfg::IsQueryValue(const wxString& value)
{
    return value == "*" || value == "&" || value == "^";
}

CSaveCfg::SFileComparison CSaveCfg::CompareFileWith(const std::map<wxString, wxString>& deviceValues,
                                                     const SPlanTarget* target) const
{
    const bool checked = target && !target->force;
    SFileComparison comparison{{}, m_fileRefused, m_fileLeftOut, {}};
    if (checked)
        comparison.otherModel = OtherModelReason(target->model, m_fileDeviceType);
    for (const wxString& text : FileCommandsToSend(&deviceValues)) {
        if (!comparison.otherModel.empty())
            break;
        const wxString name = text.Left(CSaveCfg::kCommandNameLength);
        // A name the scanner does not report would be refused by it half-way through
        // the run, after the settings before it were taken.
        if (checked && deviceValues.find(name) == deviceValues.end())
            comparison.refused.push_back(
                {name, text.Mid(CSaveCfg::kCommandNameLength), "not a setting this scanner reports; --force sends it anyway"});
        else
            comparison.toSend.push_back(text);
    }
    // An empty value would only ask the scanner for its value, so it is never sent;
    // where the scanner holds something else, that is said.
    for (const wxString& name : m_fileEmptyValues) {
        const auto held = deviceValues.find(name);
        if (held == deviceValues.end() || !held->second.empty())
            comparison.leftOut.push_back({name, wxString(), "left out: no value"});
    }
    return comparison;
}

bool CSaveCfg::ExportDeviceConfiguration(const wxString& path)
{
    wxXmlDocument document;
    auto* root = new wxXmlNode(wxXML_ELEMENT_NODE, "DeviceConfiguration");
    root->AddAttribute("DeviceType", MatchNameOf(m_currentModel));
    document.SetRoot(root);

    const auto& commands = CDeviceCmdNameMntXmlInfo::GetInstance().GetCommands();
    FILE_LOG(LOG_INFO, "%s=%i", "CmdCount", static_cast<int>(commands.size()));
    for (const auto& [name, record] : commands) {
        wxXmlNode* element = AppendElement(*root, "Command");
        AppendTextElement(*element, "CommandName", record->CommandName);
        AppendTextElement(*element, "Minimum", record->Minimum);
        AppendTextElement(*element, "Maximum", record->Maximum);
        AppendTextElement(*element, "SettingsList", record->SettingsList);
        // The data-format default is a whole rule the scanner makes up itself; taken
        // over by another scanner it would add a rule nobody wrote.
        const bool isDataFormat = record->CommandName.CmpNoCase("DFMADD") == 0;
        AppendTextElement(*element, "Default", isDataFormat ? wxString() : record->Default);
    }
    return SaveXmlFile(document, path);
}

wxString CSaveCfg::TranslateCommand(const wxString& name)
{
    wxXmlDocument document;
    if (!LoadXmlFile(document, ConfigPath("transCmd.xml"), "setting", kFilesLogSource))
        return wxString();
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "node")
            continue;
        const wxString oldName = node->GetAttribute("oldcmd");
        const wxString newName = node->GetAttribute("newcmd");
        if (!oldName.empty() && !newName.empty() && oldName == name)
            return newName;
    }
    return wxString();
}

bool CSaveCfg::IsPassCommand(const wxString& name, const wxString& value)
{
    wxXmlDocument document;
    if (!LoadXmlFile(document, ConfigPath("PassCmd.xml"), "setting", kFilesLogSource))
        return false;
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "node")
            continue;
        bool leaveOut = false;
        if (IsPassNodeDeciding(node->GetAttribute("Type"), node->GetAttribute("Cmd"), name, value, leaveOut))
            return leaveOut;
    }
    return false;
}

wxString CSaveCfg::GetSnapshotPath(const wxString& modelName, const wxDateTime& when)
{
    const wxString stamp = when.Format("%Y-%m-%d-%H-%M-%S");
    return CAppContext::GetInstance().GetFilePath("tmp", modelName + "_" + stamp + ".xml");
}
