// The data tree that ships with the program: every text identifier the code asks
// for has an entry in every shipped language, the model catalogue with the
// pictures, command files, scripts and texts it names is complete, and the settings
// pages and tabs fit the command files of the models.
#include "AppContext.h"
#include "CmdNameXmlInfo.h"
#include "DeviceCmdNameMntXmlInfo.h"
#include "DeviceMnt.h"
#include "LanguageXmlInfo.h"
#include "PageMntXmlInfo.h"
#include "PendingChangeList.h"
#include "SaveCfg.h"
#include "TabNodeXmlInfo.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::set<std::string> IdentifiersUsedInSources()
{
    std::set<std::string> identifiers;
    // Text identifiers are the upper-case literals starting with "ID", wherever they
    // stand (calls, tables of items).
    const std::regex call(R"re("(ID[A-Z0-9_]{2,})")re");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VOSTREL_SOURCE_DIR "/src")) {
        if (!entry.is_regular_file() || (entry.path().extension() != ".cpp" && entry.path().extension() != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string content = text.str();
        for (std::sregex_iterator it(content.begin(), content.end(), call), end; it != end; ++it)
            identifiers.insert((*it)[1].str());
    }
    return identifiers;
}

// The control-type keywords a command file may use.
const std::set<wxString> kControlTypes = {
    "COMBOBOX",      "EDITCOMBOBOX",  "COMBOBOXCUSTOM", "RADIOGROUP",    "BUTTONGROUP",   "RADIO",
    "RADIO#",        "EDIT",          "EDIT_READONLY",  "RANGEEDIT",     "HEXEDIT",       "HEXEDITKEYBOARD",
    "DATATIME",      "DATAFORMAT",    "LICENSECODE",    "CODEID",        "FILESELECT",    "MULFILESELECT",
    "MULVALUE",      "DEFCMD",        "BUTTON",         "BUTTONGETTEXT", "MNUCMD",        "GROUPNAME",
    "COMMANDCENTER", "CREATEBARCODE", "COMPAREDEFAULT", "COMPAREXML",    "IMAGE",         "BATCHDATADLG"};

struct SShippedCommand {
    wxString name;
    wxString controlType;
    wxString settingsList;
    wxString settingsListLangId;
    wxString cmdGetLen;
    wxString defaultValue;
};

struct SCommandFile {
    wxString rootName;
    std::vector<SShippedCommand> commands;
};

wxString ElementText(const wxXmlNode* element)
{
    return element->GetChildren() ? element->GetChildren()->GetContent() : wxString();
}

// Reads a model command file on its own, so that the check does not lean on the
// reader it guards.
bool ReadCommandFile(const wxString& path, SCommandFile& file)
{
    wxLogNull quiet;
    wxXmlDocument document;
    if (!wxFileName::FileExists(path) || !document.Load(path, "UTF-8") || !document.GetRoot())
        return false;
    file.rootName = document.GetRoot()->GetName();
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Command")
            continue;
        SShippedCommand command;
        for (const wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
            if (child->GetName() == "CommandName")
                command.name = ElementText(child);
            else if (child->GetName() == "ControlType")
                command.controlType = ElementText(child);
            else if (child->GetName() == "CmdGetLen")
                command.cmdGetLen = ElementText(child);
            else if (child->GetName() == "Default")
                command.defaultValue = ElementText(child);
            else if (child->GetName() == "SettingsList") {
                command.settingsList = ElementText(child);
                command.settingsListLangId = child->GetAttribute("langID");
            }
        }
        file.commands.push_back(command);
    }
    return true;
}

// The values of a "label:value|label:value" list, in order.
std::vector<wxString> ValuesOfLabelledList(const wxString& list)
{
    std::vector<wxString> values;
    wxStringTokenizer items(list, "|");
    while (items.HasMoreTokens())
        values.push_back(items.GetNextToken().AfterLast(':'));
    return values;
}

bool IsCommandName(const wxString& name)
{
    static const std::regex pattern("[A-Z0-9]{6}");
    return std::regex_match(std::string(name.utf8_str()), pattern);
}

// The program's own commands, each with the keyword of the panel it carries. The tool
// enters them into the command map of a connected scanner, and every model file lists
// them for the model opened without one; no scanner reports them.
const std::map<wxString, wxString> kPseudoCommands = {{"CMDCTR", "COMMANDCENTER"},
                                                      {"DFTVSCRT", "COMPAREDEFAULT"},
                                                      {"XMLVSCRT", "COMPAREXML"},
                                                      {"SETCOD", "CREATEBARCODE"},
                                                      {"BATCHDATA", "BATCHDATADLG"}};

// Rows that only act in the tool; they may repeat the name of a setting of their group.
const std::set<wxString> kToolRowKeywords = {"DEFCMD", "MNUCMD", "GROUPNAME"};

// Keywords whose list items are "value:label"; toggles hold exactly two such items.
const std::set<wxString> kValueFirstKeywords = {"COMBOBOX",    "EDITCOMBOBOX", "RADIOGROUP",
                                                "BUTTONGROUP", "RADIO",        "RADIO#"};
// List controls that offer only the values the model lists as well.
const std::set<wxString> kFilteredListKeywords = {"COMBOBOX", "RADIOGROUP", "BUTTONGROUP"};

struct SPageRow {
    wxString page;
    wxString group;
    wxString name;
    wxString caption;
    wxString controlType;
    wxString langID;
    wxString settingsList;
    wxString settingsListLangId;
    wxString cmdGetLen;
    wxString unsupported;
};

struct SPageGroup {
    wxString caption;
    wxString langID;
    std::vector<SPageRow> rows;
};

struct SPage {
    wxString name;
    std::vector<SPageGroup> groups;
};

struct SPageFile {
    std::vector<SPage> pages;
    std::vector<std::string> problems;  // where the file leaves the element structure

    std::vector<const SPageRow*> Rows() const
    {
        std::vector<const SPageRow*> rows;
        for (const SPage& page : pages) {
            for (const SPageGroup& group : page.groups) {
                for (const SPageRow& row : group.rows)
                    rows.push_back(&row);
            }
        }
        return rows;
    }
};

struct STab {
    wxString name;
    wxString langID;
    wxString icon;
    wxString icons;
    wxString page;  // leaf tabs only
};

struct STabFile {
    std::vector<STab> tabs;
    std::vector<std::string> problems;
};

std::string Text(const wxString& text)
{
    return std::string(text.utf8_str());
}

bool IsElementNode(const wxXmlNode* node)
{
    return node->GetType() == wxXML_ELEMENT_NODE;
}

// Values are taken as written, so a blank at either end would become part of them.
bool HasBlankEnds(const wxString& text)
{
    return !text.empty() && (wxIsspace(text[0]) || wxIsspace(text.Last()));
}

void ReadPageRow(const wxXmlNode* command, SPageRow& row, std::vector<std::string>& problems)
{
    const std::map<wxString, wxString*> fields = {
        {"CommandName", &row.name},    {"FriendlyText", &row.caption},  {"ControlType", &row.controlType},
        {"langID", &row.langID},       {"SettingsList", &row.settingsList}, {"CmdGetLen", &row.cmdGetLen},
        {"UnSupportSettingsList", &row.unsupported}};
    std::map<wxString, int> seen;
    for (const wxXmlNode* child = command->GetChildren(); child; child = child->GetNext()) {
        if (!IsElementNode(child))
            continue;
        const auto field = fields.find(child->GetName());
        if (field == fields.end()) {
            problems.push_back("Command has the element " + Text(child->GetName()));
            continue;
        }
        if (++seen[child->GetName()] > 1)
            problems.push_back("Command has two " + Text(child->GetName()));
        *field->second = ElementText(child);
        if (HasBlankEnds(*field->second))
            problems.push_back(Text(child->GetName()) + " \"" + Text(*field->second) + "\" has blank ends");
        if (child->GetName() == "SettingsList")
            row.settingsListLangId = child->GetAttribute("langID");
    }
    for (const char* required : {"CommandName", "FriendlyText", "ControlType", "langID"}) {
        if (seen[required] == 0 || fields.at(required)->empty())
            problems.push_back("Command " + Text(row.name) + " has no " + required);
    }
}

SPageGroup ReadPageGroup(const wxXmlNode* element, std::vector<std::string>& problems)
{
    SPageGroup group;
    int values = 0;
    int langIDs = 0;
    for (const wxXmlNode* child = element->GetChildren(); child; child = child->GetNext()) {
        if (!IsElementNode(child))
            continue;
        if (child->GetName() == "Value") {
            ++values;
            group.caption = ElementText(child);
        } else if (child->GetName() == "langID") {
            ++langIDs;
            group.langID = ElementText(child);
        } else if (child->GetName() == "Command") {
            group.rows.emplace_back();
            ReadPageRow(child, group.rows.back(), problems);
        } else {
            problems.push_back("GroupName has the element " + Text(child->GetName()));
        }
    }
    if (values != 1 || langIDs != 1 || group.caption.empty() || group.langID.empty() || group.rows.empty())
        problems.push_back("group \"" + Text(group.caption) + "\" needs one caption, one langID and commands");
    return group;
}

bool ReadPageFile(const wxString& path, SPageFile& file)
{
    wxLogNull quiet;
    wxXmlDocument document;
    if (!document.Load(path, "UTF-8") || !document.GetRoot())
        return false;
    if (document.GetRoot()->GetName() != "Pages")
        file.problems.push_back("root " + Text(document.GetRoot()->GetName()));
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (!IsElementNode(node))
            continue;
        if (node->GetName() != "Page") {
            file.problems.push_back("Pages has the element " + Text(node->GetName()));
            continue;
        }
        SPage page;
        int values = 0;
        for (const wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
            if (!IsElementNode(child))
                continue;
            if (child->GetName() == "Value") {
                ++values;
                page.name = ElementText(child);
            } else if (child->GetName() == "GroupName") {
                page.groups.push_back(ReadPageGroup(child, file.problems));
            } else {
                file.problems.push_back("Page has the element " + Text(child->GetName()));
            }
        }
        if (values != 1 || page.name.empty() || page.groups.empty())
            file.problems.push_back("page \"" + Text(page.name) + "\" needs one name and groups");
        for (SPageGroup& group : page.groups) {
            for (SPageRow& row : group.rows) {
                row.page = page.name;
                row.group = group.caption;
            }
        }
        file.pages.push_back(page);
    }
    return true;
}

// Reads the children of the root or of a tab. A height reaches only the tabs after it,
// so one that follows every tab of its row has no effect.
void ReadTabChildren(const wxXmlNode* parent, int owner, STabFile& file, int& pages, int& tabs)
{
    const bool isRoot = owner < 0;
    for (const wxXmlNode* child = parent->GetChildren(); child; child = child->GetNext()) {
        if (!IsElementNode(child))
            continue;
        const wxString name = child->GetName();
        if (name == "property") {
            long height = 0;
            if (!child->GetAttribute("height", "30").ToLong(&height) || height <= 0)
                file.problems.push_back("height \"" + Text(child->GetAttribute("height")) + "\"");
            if (tabs > 0)
                file.problems.push_back("a height after the tabs of " + Text(parent->GetAttribute("name")));
        } else if (name == "TabNode") {
            ++tabs;
            const size_t index = file.tabs.size();
            file.tabs.push_back({child->GetAttribute("name"), child->GetAttribute("langID"),
                                 child->GetAttribute("icon"), child->GetAttribute("icons"), wxString()});
            int childPages = 0;
            int childTabs = 0;
            ReadTabChildren(child, static_cast<int>(index), file, childPages, childTabs);
            const STab& tab = file.tabs[index];
            if (tab.name.empty() || tab.langID.empty())
                file.problems.push_back("a tab without name or langID");
            // A leaf shows one page; an inner tab opens a row of tabs.
            if (!((childPages == 1 && childTabs == 0) || (childPages == 0 && childTabs > 0)))
                file.problems.push_back("tab " + Text(tab.name) + " is neither a leaf nor a row");
        } else if (name == "Page" && !isRoot) {
            ++pages;
            file.tabs[static_cast<size_t>(owner)].page = child->GetAttribute("name");
        } else {
            file.problems.push_back(Text(name) + " in " + (isRoot ? "MainCfg" : Text(parent->GetAttribute("name"))));
        }
    }
}

bool ReadTabFile(const wxString& path, STabFile& file)
{
    wxLogNull quiet;
    wxXmlDocument document;
    if (!document.Load(path, "UTF-8") || !document.GetRoot())
        return false;
    if (document.GetRoot()->GetName() != "MainCfg")
        file.problems.push_back("root " + Text(document.GetRoot()->GetName()));
    int pages = 0;
    int tabs = 0;
    ReadTabChildren(document.GetRoot(), -1, file, pages, tabs);
    return true;
}

// The values of a list, every "a-b" run counted out.
std::set<wxString> ExpandedValues(const wxString& list)
{
    std::set<wxString> values;
    wxStringTokenizer items(list, "|");
    while (items.HasMoreTokens()) {
        const wxString item = items.GetNextToken();
        long first = 0;
        long last = 0;
        const size_t dash = item.find('-', 1);
        if (dash != wxString::npos && item.Left(dash).ToLong(&first) && item.Mid(dash + 1).ToLong(&last)) {
            for (long value = first; value <= last; ++value)
                values.insert(wxString::Format("%ld", value));
        } else {
            values.insert(item);
        }
    }
    return values;
}

struct SListItem {
    wxString value;
    wxString label;
};

std::vector<SListItem> ListItems(const wxString& list, bool labelFirst)
{
    std::vector<SListItem> items;
    wxStringTokenizer pieces(list, "|");
    while (pieces.HasMoreTokens()) {
        const wxString piece = pieces.GetNextToken();
        const wxString before = piece.BeforeFirst(':');
        const wxString after = piece.AfterFirst(':');
        items.push_back(labelFirst ? SListItem{after, before} : SListItem{before, after});
    }
    return items;
}

// The label a setting shows for a value, found as the tool finds it: value first, the
// first "value:" anywhere in the list; label first, the text before ":value|".
wxString LabelLookedUp(const wxString& list, const wxString& value, bool labelFirst)
{
    if (!labelFirst) {
        const size_t at = list.find(value + ":");
        return at == wxString::npos ? wxString() : list.Mid(at + value.length() + 1).BeforeFirst('|');
    }
    wxString text = list;
    text.Replace(" |", "|");
    const size_t at = text.find(":" + value + "|");
    if (at == wxString::npos)
        return wxString();
    const size_t bar = text.rfind('|', at);
    const size_t start = bar == wxString::npos ? 0 : bar + 1;
    return text.Mid(start, at - start);
}

// What is wrong with a setting's list for its keyword, or nothing.
std::string ListProblem(const wxString& keyword, const wxString& list)
{
    const bool labelFirst = keyword == "COMBOBOXCUSTOM";
    if (labelFirst && !list.EndsWith("|"))
        return "the last label is only found before a closing |";
    const std::vector<SListItem> items = ListItems(list, labelFirst);
    if ((keyword == "RADIO" || keyword == "RADIO#") && items.size() != 2)
        return "a toggle needs an off and an on item";
    std::set<wxString> values;
    for (const SListItem& item : items) {
        if (item.value.empty() || item.label.empty())
            return "item without value or label";
        if (!values.insert(item.value).second)
            return "value " + Text(item.value) + " twice";
        if (LabelLookedUp(list, item.value, labelFirst) != item.label)
            return "value " + Text(item.value) + " shows \"" + Text(LabelLookedUp(list, item.value, labelFirst)) + "\"";
    }
    return std::string();
}

bool HasEmptyRow(const CTabNodeXmlInfo& node)
{
    for (const auto& child : node.GetChildren()) {
        if ((!child->PageNode && child->GetChildren().empty()) || HasEmptyRow(*child))
            return true;
    }
    return false;
}

class ShippedDataTest : public ::testing::Test {
protected:
    void SetUp() override { CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR); }
    void TearDown() override
    {
        CPageMntXmlInfo::ResetInstance();
        CPendingChangeList::ResetInstance();
        CDeviceCmdNameMntXmlInfo::ResetInstance();
        CSaveCfg::ResetInstance();
        CDeviceMnt::ResetInstance();
        CLanguageXmlInfo::ResetInstance();
        CAppContext::ResetInstance();
    }

    // Every model of the loaded catalogue, in category and key order.
    static std::vector<CDeviceInfo*> Models()
    {
        std::vector<CDeviceInfo*> models;
        for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
            for (const auto& entry : category->GetDevices())
                models.push_back(entry.second.get());
        }
        return models;
    }

    static const CDeviceInfo* ModelWithKey(const wxString& key)
    {
        for (const CDeviceInfo* model : Models()) {
            if (model->m_key == key)
                return model;
        }
        return nullptr;
    }

    static wxString ConfigFile(const wxString& name) { return CAppContext::GetInstance().GetFilePath("Config", name); }
};

TEST_F(ShippedDataTest, ChineseIsTheDefaultAndEnglishIsListed)
{
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    EXPECT_EQ("CN", languages.GetDefaultLanguage());
    ASSERT_NE(nullptr, languages.FindLanguage("EN"));
    ASSERT_NE(nullptr, languages.FindLanguage("CN"));
}

TEST_F(ShippedDataTest, EveryLanguageHasEveryIdentifierTheProgramUses)
{
    const std::set<std::string> used = IdentifiersUsedInSources();
    ASSERT_GT(used.size(), 10u);
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    for (const SLanguageEntry& language : std::vector<SLanguageEntry>(languages.GetLanguages())) {
        ASSERT_TRUE(languages.LoadLanguageTexts(language.name)) << language.name;
        for (const std::string& identifier : used) {
            EXPECT_NE("\x01", languages.GetText(identifier, "\x01")) << identifier << " missing in " << language.name;
        }
        EXPECT_TRUE(std::filesystem::exists(std::string(language.helpDocument.utf8_str()))) << language.helpDocument;
        // The Qcon recommendation sends the user to this language's help, to a section that is there.
        const wxString help = wxFileName(language.helpDocument).GetFullName();
        EXPECT_NE(wxNOT_FOUND, languages.GetText("ID_DEVICE_USE_QCON", "").Find(help + "#download")) << language.name;
        wxFile document(language.helpDocument);
        wxString html;
        ASSERT_TRUE(document.IsOpened() && document.ReadAll(&html, wxConvUTF8)) << language.helpDocument;
        EXPECT_NE(wxNOT_FOUND, html.Find("id=\"download\"")) << language.helpDocument;
    }
}

TEST_F(ShippedDataTest, CatalogueHasItsCategoriesModelsPicturesAndIcons)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    const auto& categories = CDeviceMnt::GetInstance().GetCategories();
    EXPECT_GE(categories.size(), 2u);
    std::set<wxString> keys;
    for (const auto& category : categories) {
        EXPECT_FALSE(category->m_langID.empty()) << category->m_key;
        EXPECT_TRUE(category->m_iconImage) << category->m_icon;
        EXPECT_FALSE(category->GetDevices().empty()) << category->m_key;
        for (const auto& [key, model] : category->GetDevices()) {
            EXPECT_TRUE(keys.insert(key).second) << key << " is listed in two categories";
            EXPECT_FALSE(model->m_langID.empty()) << key;
            EXPECT_TRUE(model->m_pictureImage) << model->m_picture;
        }
    }
    EXPECT_GE(keys.size(), 6u);
}

TEST_F(ShippedDataTest, EveryModelHasItsOwnCommandFileOfUniquelyNamedCommands)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    std::set<wxString> links;
    for (const CDeviceInfo* model : Models()) {
        SCOPED_TRACE(std::string(model->m_key.utf8_str()));
        EXPECT_TRUE(links.insert(model->m_link).second) << "another model uses " << model->m_link;
        SCommandFile file;
        ASSERT_TRUE(ReadCommandFile(ConfigFile(model->m_link), file)) << model->m_link;
        EXPECT_EQ("DeviceConfiguration", file.rootName);
        EXPECT_GE(file.commands.size(), 60u);

        std::set<wxString> names;
        for (const SShippedCommand& command : file.commands) {
            EXPECT_TRUE(IsCommandName(command.name) || kPseudoCommands.count(command.name))
                << "\"" << command.name << "\"";
            EXPECT_TRUE(names.insert(command.name).second) << command.name << " is defined twice";
            EXPECT_EQ(1u, kControlTypes.count(command.controlType)) << command.name << " " << command.controlType;
            if (!command.cmdGetLen.empty()) {
                EXPECT_TRUE(command.cmdGetLen.IsNumber()) << command.name << " length " << command.cmdGetLen;
            }
        }
        // Settings barcodes of the model switch setup mode with this command.
        EXPECT_EQ(1u, names.count(model->m_setupCommand)) << model->m_setupCommand;
    }
}

TEST_F(ShippedDataTest, EveryModelsScriptLogsTheFilesWrittenForItAndNoOthers)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    CSaveCfg& engine = CSaveCfg::GetInstance();
    for (CDeviceInfo* model : Models()) {
        ASSERT_FALSE(model->m_lua.empty()) << model->m_key;
        CTempDir folder;
        const std::string own = "<Vostrel DeviceType=\"" + std::string(model->m_key.utf8_str()) +
                                "\"><Command CommandName=\"SCNMOD\" Value=\"2\"/><Command CommandName=\"CODEID\"/></Vostrel>";
        folder.Write("own.xml", own);
        folder.Write("other.xml", "<Vostrel DeviceType=\"HBS-XX999\"><Command CommandName=\"SCNMOD\" Value=\"2\"/></Vostrel>");
        engine.SetCurrentModel(model);
        EXPECT_TRUE(engine.RunDeviceHook(folder.File("own.xml"))) << model->m_key;
        EXPECT_TRUE(engine.RunDeviceHook(folder.File("other.xml"))) << model->m_key;
        const std::string log = folder.Read("vostrel-hooks.log");
        EXPECT_NE(std::string::npos, log.find(" " + std::string(model->m_key.utf8_str()) + " 2 own.xml\n")) << log;
        EXPECT_EQ(1, std::count(log.begin(), log.end(), '\n')) << "the other model's file is not logged: " << log;
    }
    engine.SetCurrentModel(nullptr);
}

TEST_F(ShippedDataTest, PassAndTranslationListsNameRealSettings)
{
    std::set<wxString> known;
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    for (const CDeviceInfo* model : Models()) {
        ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::GetInstance().Load(model->m_link));
        for (const auto& [name, record] : CDeviceCmdNameMntXmlInfo::GetInstance().GetCommands())
            known.insert(name);
        CDeviceCmdNameMntXmlInfo::ResetInstance();
    }
    wxXmlDocument pass;
    ASSERT_TRUE(pass.Load(ConfigFile("PassCmd.xml")));
    for (const wxXmlNode* node = pass.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetName() != "node")
            continue;  // the comments
        const wxString cmd = node->GetAttribute("Cmd");
        const bool found = node->GetAttribute("Type") == "1"
                               ? std::any_of(known.begin(), known.end(), [&](const wxString& n) { return n.Contains(cmd); })
                               : known.count(cmd) > 0;
        EXPECT_TRUE(found) << cmd;
        EXPECT_TRUE(CSaveCfg::IsPassCommand(node->GetAttribute("Type") == "1" ? cmd + "XX" : cmd, "1")) << cmd;
    }
    EXPECT_FALSE(CSaveCfg::IsPassCommand("232BAD", "8"));

    // The pages never save an action (clear, restore, test, query); the scanner's own
    // list of values must not bring one into a file either, or sending the file runs it.
    for (const CDeviceInfo* model : Models()) {
        SCommandFile file;
        ASSERT_TRUE(ReadCommandFile(ConfigFile(model->m_link), file)) << model->m_link;
        for (const SShippedCommand& command : file.commands) {
            CCmdNameXmlInfo definition;
            definition.ControlType = command.controlType;
            if (!definition.IsSavedControl()) {
                EXPECT_TRUE(CSaveCfg::IsPassCommand(command.name, "1")) << model->m_link << " " << command.name;
            }
        }
    }

    wxXmlDocument translations;
    ASSERT_TRUE(translations.Load(ConfigFile("transCmd.xml")));
    for (const wxXmlNode* node = translations.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetName() != "node")
            continue;
        EXPECT_EQ(1u, known.count(node->GetAttribute("oldcmd"))) << node->GetAttribute("oldcmd");
        EXPECT_EQ(0u, known.count(node->GetAttribute("newcmd"))) << "a file name that no model uses any more";
        EXPECT_EQ(node->GetAttribute("newcmd"), CSaveCfg::TranslateCommand(node->GetAttribute("oldcmd")));
    }
}

TEST_F(ShippedDataTest, CatalogueNamesAndTranslatedListsHaveTextsInEveryLanguage)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    std::set<wxString> identifiers;
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories())
        identifiers.insert(category->m_langID);
    std::map<wxString, wxString> lists;  // list identifier -> the list as the command file gives it
    for (const CDeviceInfo* model : Models()) {
        identifiers.insert(model->m_langID);
        SCommandFile file;
        ASSERT_TRUE(ReadCommandFile(ConfigFile(model->m_link), file)) << model->m_link;
        for (const SShippedCommand& command : file.commands) {
            if (command.settingsListLangId.empty())
                continue;
            EXPECT_EQ("COMBOBOXCUSTOM", command.controlType) << command.name;
            const auto known = lists.emplace(command.settingsListLangId, command.settingsList);
            EXPECT_EQ(known.first->second, command.settingsList) << command.settingsListLangId << " in " << model->m_link;
        }
    }
    ASSERT_FALSE(lists.empty());

    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    for (const SLanguageEntry& language : std::vector<SLanguageEntry>(languages.GetLanguages())) {
        ASSERT_TRUE(languages.LoadLanguageTexts(language.name)) << language.name;
        for (const wxString& identifier : identifiers)
            EXPECT_NE("\x01", languages.GetText(identifier, "\x01")) << identifier << " missing in " << language.name;
        // A translated list replaces the model's own list: only its labels may differ.
        for (const auto& [identifier, list] : lists) {
            const wxString translated = languages.GetText(identifier, "\x01");
            ASSERT_NE("\x01", translated) << identifier << " missing in " << language.name;
            EXPECT_EQ(ValuesOfLabelledList(list), ValuesOfLabelledList(translated))
                << identifier << " in " << language.name << ": " << translated;
        }
    }
}

TEST_F(ShippedDataTest, ScannersAreMatchedToTheModelOfTheNameTheyReport)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    for (const CDeviceInfo* model : Models()) {
        wxString bare = model->m_key;
        bare.Replace("HBS-", wxEmptyString);
        for (const wxString& reported : {model->m_key, bare, model->m_key + " V1.2"}) {
            const std::unique_ptr<CDeviceInfo> matched = catalogue.MatchDevice(reported);
            ASSERT_TRUE(matched) << reported;
            EXPECT_EQ(model->m_link, matched->m_link) << "\"" << reported << "\" is taken for another model";
        }
    }

    // The cordless HS620W reports a name that holds the corded HS620's as well.
    const CDeviceInfo* corded = ModelWithKey("HBS-HS620");
    const CDeviceInfo* cordless = ModelWithKey("HBS-HS620W");
    ASSERT_TRUE(corded && cordless);
    const std::unique_ptr<CDeviceInfo> matched = catalogue.MatchDevice("HBS-HS620W");
    ASSERT_TRUE(matched);
    EXPECT_EQ(cordless->m_link, matched->m_link);
    EXPECT_NE(corded->m_link, matched->m_link);

    // A scanner the catalogue does not know is shown with the unknown-device picture.
    const std::unique_ptr<CDeviceInfo> unknown = catalogue.MatchDevice("ACME-X1");
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(unknown->m_pictureImage) << unknown->m_picture;
}

TEST_F(ShippedDataTest, PageFileIsPagesOfCaptionedGroupsOfCompleteCommands)
{
    SPageFile file;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), file));
    for (const std::string& problem : file.problems)
        ADD_FAILURE() << problem;
    ASSERT_FALSE(file.pages.empty());
    std::set<wxString> names;
    for (const SPage& page : file.pages)
        EXPECT_TRUE(names.insert(page.name).second) << "two pages named " << page.name;
    for (const SPageRow* row : file.Rows())
        EXPECT_EQ(1u, kControlTypes.count(row->controlType)) << row->name << " " << row->controlType;
}

TEST_F(ShippedDataTest, TabTreeShowsEveryPageOnceWithPictureIcons)
{
    SPageFile pages;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), pages));
    STabFile file;
    ASSERT_TRUE(ReadTabFile(ConfigFile("maincfg.xml"), file));
    for (const std::string& problem : file.problems)
        ADD_FAILURE() << problem;

    std::map<wxString, int> tabsOfPage;
    for (const SPage& page : pages.pages)
        tabsOfPage[page.name] = 0;
    size_t icons = 0;
    for (const STab& tab : file.tabs) {
        if (!tab.page.empty()) {
            const auto page = tabsOfPage.find(tab.page);
            EXPECT_NE(tabsOfPage.end(), page) << tab.name << " shows the unknown page " << tab.page;
            if (page != tabsOfPage.end())
                ++page->second;
        }
        for (const wxString& icon : {tab.icon, tab.icons}) {
            if (icon.empty())
                continue;
            ++icons;
            std::ifstream in(std::string(CAppContext::GetInstance().GetFilePath("Images", icon).utf8_str()),
                             std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(0u, bytes.rfind("\x89PNG\r\n\x1a\n", 0)) << icon << " is no PNG file";
            EXPECT_LT(bytes.size(), 10u * 1024u) << icon;
        }
    }
    for (const auto& [page, tabs] : tabsOfPage)
        EXPECT_EQ(1, tabs) << "page " << page << " has " << tabs << " tabs";
    EXPECT_GT(icons, 0u);
}

TEST_F(ShippedDataTest, PagesUseEveryControlKeywordAndTheProgramsOwnCommands)
{
    SPageFile file;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), file));
    std::set<wxString> keywords;
    std::set<wxString> pseudo;
    for (const SPageRow* row : file.Rows()) {
        keywords.insert(row->controlType);
        const auto own = kPseudoCommands.find(row->name);
        if (own == kPseudoCommands.end() || kToolRowKeywords.count(row->controlType))
            continue;
        pseudo.insert(row->name);
        EXPECT_EQ(Text(own->second), Text(row->controlType)) << row->name;
    }
    for (const wxString& keyword : kControlTypes)
        EXPECT_EQ(1u, keywords.count(keyword)) << keyword << " is on no page";
    for (const auto& [name, keyword] : kPseudoCommands)
        EXPECT_EQ(1u, pseudo.count(name)) << name << " (" << keyword << ") is on no page";
}

TEST_F(ShippedDataTest, PagesHoldOnlyModelCommandsAndReachEveryOne)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    std::map<wxString, std::vector<std::pair<wxString, SShippedCommand>>> models;  // name -> (file, command)
    for (const CDeviceInfo* model : Models()) {
        SCommandFile commands;
        ASSERT_TRUE(ReadCommandFile(ConfigFile(model->m_link), commands)) << model->m_link;
        for (const SShippedCommand& command : commands.commands)
            models[command.name].emplace_back(model->m_link, command);
    }
    SPageFile file;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), file));

    std::set<wxString> onPages;
    for (const SPageRow* row : file.Rows()) {
        onPages.insert(row->name);
        if (kPseudoCommands.count(row->name))
            continue;
        const auto known = models.find(row->name);
        EXPECT_NE(models.end(), known) << row->page << "/" << row->group << ": no model has " << row->name;
        if (known == models.end() || kToolRowKeywords.count(row->controlType))
            continue;
        // The keyword decides how the model's list and limits are read.
        for (const auto& [link, command] : known->second)
            EXPECT_EQ(Text(command.controlType), Text(row->controlType)) << row->name << " in " << link;
    }
    for (const auto& [name, definitions] : models)
        EXPECT_EQ(1u, onPages.count(name)) << name << " of " << definitions.front().first << " is on no page";

    // A search by name takes the first row in page-name order: that must be the
    // setting itself, and a repeated name may only be a tool row after it.
    std::map<wxString, const SPage*> byName;
    for (const SPage& page : file.pages)
        byName.emplace(page.name, &page);
    std::set<wxString> seen;
    for (const auto& [name, page] : byName) {
        for (const SPageGroup& group : page->groups) {
            for (const SPageRow& row : group.rows) {
                const bool first = seen.insert(row.name).second;
                EXPECT_EQ(!first, kToolRowKeywords.count(row.controlType) == 1)
                    << name << "/" << group.caption << ": " << row.name << " " << row.controlType;
            }
        }
    }
}

TEST_F(ShippedDataTest, PageListsFitTheirControlsAndShowWhatTheModelsOffer)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    std::map<wxString, std::map<wxString, SShippedCommand>> models;  // file -> name -> command
    for (const CDeviceInfo* model : Models()) {
        SCommandFile commands;
        ASSERT_TRUE(ReadCommandFile(ConfigFile(model->m_link), commands)) << model->m_link;
        for (const SShippedCommand& command : commands.commands)
            models[model->m_link][command.name] = command;
    }
    SPageFile file;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), file));
    for (const SPageRow* row : file.Rows()) {
        SCOPED_TRACE(std::string((row->name + " " + row->controlType).utf8_str()));
        const bool labelled = kValueFirstKeywords.count(row->controlType) || row->controlType == "COMBOBOXCUSTOM";
        if (labelled) {
            EXPECT_FALSE(row->settingsList.empty());
        }
        if (!row->settingsList.empty()) {
            EXPECT_EQ("", ListProblem(row->controlType, row->settingsList)) << row->settingsList;
        }
        std::set<wxString> values;
        for (const SListItem& item : ListItems(row->settingsList, row->controlType == "COMBOBOXCUSTOM"))
            values.insert(item.value);
        wxStringTokenizer hidden(row->unsupported, "|");
        while (hidden.HasMoreTokens())
            EXPECT_EQ(1u, values.count(hidden.GetNextToken())) << "hides a value it does not list";

        for (const auto& [link, commands] : models) {
            const auto command = commands.find(row->name);
            if (command == commands.end() || kToolRowKeywords.count(row->controlType))
                continue;
            // These controls show only the page's items: a value the model offers
            // without a label here could not be chosen.
            if (kFilteredListKeywords.count(row->controlType)) {
                for (const wxString& value : ExpandedValues(command->second.settingsList))
                    EXPECT_EQ(1u, values.count(value)) << link << " offers " << value;
            }
            // Offline the model file gives the length; online the page names the
            // query that asks the scanner for it. Both must give the same length.
            if (!command->second.cmdGetLen.empty()) {
                EXPECT_FALSE(row->cmdGetLen.empty()) << "no length query for connected scanners";
                const auto query = commands.find(row->cmdGetLen);
                ASSERT_NE(commands.end(), query) << link << " lacks " << row->cmdGetLen;
                EXPECT_EQ(Text(command->second.cmdGetLen), Text(query->second.defaultValue)) << link;
            }
        }
    }
}

TEST_F(ShippedDataTest, PageAndTabTextsAreInEveryLanguage)
{
    SPageFile pages;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), pages));
    STabFile tabs;
    ASSERT_TRUE(ReadTabFile(ConfigFile("maincfg.xml"), tabs));
    std::set<wxString> identifiers;
    std::map<wxString, const SPageRow*> lists;  // list identifier -> a row that uses it
    for (const SPage& page : pages.pages) {
        for (const SPageGroup& group : page.groups) {
            identifiers.insert(group.langID);
            for (const SPageRow& row : group.rows) {
                identifiers.insert(row.langID);
                if (!row.settingsListLangId.empty())
                    lists.emplace(row.settingsListLangId, &row);
            }
        }
    }
    for (const STab& tab : tabs.tabs)
        identifiers.insert(tab.langID);
    ASSERT_FALSE(lists.empty());

    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    ASSERT_GE(languages.GetLanguages().size(), 2u);
    for (const SLanguageEntry& language : std::vector<SLanguageEntry>(languages.GetLanguages())) {
        ASSERT_TRUE(languages.LoadLanguageTexts(language.name)) << language.name;
        for (const wxString& identifier : identifiers) {
            const wxString text = languages.GetText(identifier, "\x01");
            EXPECT_TRUE(text != "\x01" && !text.empty()) << identifier << " missing in " << language.name;
        }
        // A translated list replaces the page's list: it must keep its values in order
        // and still let every value find its label.
        for (const auto& [identifier, row] : lists) {
            const bool labelFirst = row->controlType == "COMBOBOXCUSTOM";
            const wxString translated = languages.GetText(identifier, row->settingsList);
            EXPECT_EQ("", ListProblem(row->controlType, translated)) << identifier << " in " << language.name;
            std::vector<std::string> ours;
            std::vector<std::string> theirs;
            for (const SListItem& item : ListItems(row->settingsList, labelFirst))
                ours.push_back(Text(item.value));
            for (const SListItem& item : ListItems(translated, labelFirst))
                theirs.push_back(Text(item.value));
            EXPECT_EQ(ours, theirs) << identifier << " in " << language.name << ": " << translated;
        }
    }
}

// Loaded as the configuration window loads them: a page keeps only what the model
// supports and goes with its tab when nothing is left.
TEST_F(ShippedDataTest, ModelsLoseThePagesTheyHaveNoSettingsForButNoRowRunsEmpty)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    SPageFile file;
    ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), file));
    std::set<wxString> toolPages;  // pages built on the program's own commands
    for (const SPageRow* row : file.Rows()) {
        if (kPseudoCommands.count(row->name))
            toolPages.insert(row->page);
    }
    ASSERT_FALSE(toolPages.empty());

    std::map<wxString, int> keptBy;
    std::set<wxString> lostBySome;
    for (const CDeviceInfo* model : Models()) {
        SCOPED_TRACE(std::string(model->m_key.utf8_str()));
        CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
        ASSERT_TRUE(map.Load(model->m_link));
        ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
        {
            CTabNodeXmlInfo root;
            ASSERT_TRUE(root.Load());
            EXPECT_FALSE(HasEmptyRow(root)) << "a row of tabs is left without tabs";
            for (const auto& tab : root.GetChildren()) {
                if (!tab->icon.empty()) {
                    EXPECT_TRUE(tab->iconImage && tab->iconsImage) << tab->icon;
                }
            }
            for (const auto& [name, page] : CPageMntXmlInfo::GetInstance().GetPages()) {
                EXPECT_EQ(page->HasCommands(), root.FindPage(name) != nullptr) << name;
                if (page->HasCommands())
                    ++keptBy[name];
                else if (!toolPages.count(name))
                    lostBySome.insert(name);
            }
        }
    }
    EXPECT_FALSE(lostBySome.empty()) << "every model keeps every page of settings";
    for (const SPage& page : file.pages) {
        if (!toolPages.count(page.name)) {
            EXPECT_GT(keptBy[page.name], 0) << page.name << " is empty for every model";
        }
    }
}

// The leaf tabs of the pages as now loaded, depth first, as the user meets them.
std::string LoadedLeafTabs()
{
    EXPECT_TRUE(CPageMntXmlInfo::GetInstance().Load());
    CTabNodeXmlInfo root;
    EXPECT_TRUE(root.Load());
    std::string tabs;
    std::vector<const CTabNodeXmlInfo*> open{&root};
    while (!open.empty()) {
        const CTabNodeXmlInfo* node = open.back();
        open.pop_back();
        if (node->PageNode)
            tabs += (tabs.empty() ? "" : ",") + Text(node->name);
        for (auto child = node->GetChildren().rbegin(); child != node->GetChildren().rend(); ++child)
            open.push_back(child->get());
    }
    return tabs;
}

const std::string kBasicTabs = "Interface,Keyboard,Scanning,Beeper and LEDs,1D codes,2D codes,Prefix and suffix,Output,"
                               "Data formatter,";
const std::string kToolTabs = "System,Stored data,Comparison,Settings Code,Command center";

// Which tabs each model shows. Offline the map comes from the model file; connected,
// from what the scanner reports plus the program's own commands (connect sequence).
const struct {
    const char* key;
    std::string tabs;
} kTabsOfModel[] = {
    {"HBS-HS620", kBasicTabs + kToolTabs},
    {"HBS-HS620W", "Interface,Keyboard,Wireless,Scanning,Beeper and LEDs,1D codes,2D codes,Prefix and suffix,Output,"
                   "Data formatter," + kToolTabs},
    {"HBS-HI880", "Interface,Keyboard,Scanning,Beeper and LEDs,Decoding,1D codes,2D codes,More codes,Postal codes,"
                  "4.IMAGING,Prefix and suffix,Output,Data formatter,Code ID,Driver licence," + kToolTabs},
    {"HBS-FM300", kBasicTabs + kToolTabs},
    {"HBS-FM450", "Interface,Keyboard,Inputs and outputs,Scanning,Beeper and LEDs,1D codes,2D codes,Prefix and suffix,"
                  "Output,Data formatter," + kToolTabs},
    {"HBS-EM20", kBasicTabs + kToolTabs},
};

TEST_F(ShippedDataTest, EveryModelKeepsTheSameTabsOfflineAndConnected)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    ASSERT_EQ(Models().size(), std::size(kTabsOfModel));
    CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
    for (const auto& row : kTabsOfModel) {
        SCOPED_TRACE(row.key);
        const CDeviceInfo* model = ModelWithKey(row.key);
        ASSERT_NE(nullptr, model);
        ASSERT_TRUE(map.Load(model->m_link));
        EXPECT_EQ(row.tabs, LoadedLeafTabs()) << "offline";

        SCommandFile file;
        ASSERT_TRUE(ReadCommandFile(ConfigFile(model->m_link), file));
        map.Clear();
        for (const SShippedCommand& command : file.commands) {
            if (kPseudoCommands.count(command.name))
                continue;  // a scanner does not know them
            map.SetCurrentValue(command.name, command.defaultValue);
            map.SetDefaultValue(command.name, command.defaultValue);
            map.SetRange(command.name, command.settingsList);
        }
        for (const auto& [name, keyword] : kPseudoCommands) {
            map.SetDefaultValue(name, "");
            map.SetCurrentValue(name, "");
            map.SetRange(name, "");
        }
        EXPECT_EQ(row.tabs, LoadedLeafTabs()) << "connected";
    }
}

}  // namespace
