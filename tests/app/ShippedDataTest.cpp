// The data tree that ships with the program: every text identifier the code asks
// for has an entry in every shipped language, the model catalogue with the
// pictures, command files, scripts and texts it names is complete, and the settings
// pages and tabs fit the command files of the models.
#include "app/AppContext.h"
#include "app/LanguageXmlInfo.h"
#include "app/MnemonicText.h"
#include "app/UiText.h"
#include "app/XmlFile.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "device/DeviceMnt.h"
#include "model/CmdNameXmlInfo.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "model/TabNodeXmlInfo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
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

// One <Command> of the page file, as written: the program's page reader keeps only what
// the model supports and passes over what it does not know, which would hide faults here.
struct SCommand {
    wxString name;
    wxString caption;
    wxString controlType;
    wxString langID;
    wxString settingsList;
    wxString settingsListLangId;
    wxString cmdGetLen;
    wxString unsupported;
    wxString page;
    wxString group;
};

// A model's command file, every <Command> as the program reads it, in file order (the
// program's map would keep only the first of a name).
struct SCommandFile {
    std::vector<CDeviceCmdNameXmlInfo> commands;

    const CDeviceCmdNameXmlInfo* Find(const wxString& name) const
    {
        for (const CDeviceCmdNameXmlInfo& command : commands) {
            if (command.CommandName == name)
                return &command;
        }
        return nullptr;
    }
};

wxString ElementText(const wxXmlNode* element)
{
    return element->GetChildren() ? element->GetChildren()->GetContent() : wxString();
}

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

// Reads one page row, which must keep to the page file's form.
void ReadCommand(const wxXmlNode* node, SCommand& command, std::vector<std::string>& problems)
{
    std::map<wxString, wxString*> fields = {
        {"CommandName", &command.name},        {"FriendlyText", &command.caption},
        {"ControlType", &command.controlType}, {"langID", &command.langID},
        {"SettingsList", &command.settingsList}, {"CmdGetLen", &command.cmdGetLen},
        {"UnSupportSettingsList", &command.unsupported}};
    std::map<wxString, int> seen;
    for (const wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
        if (!IsElementNode(child))
            continue;
        const auto field = fields.find(child->GetName());
        if (field == fields.end()) {
            problems.push_back("Command has the element " + Text(child->GetName()));
            continue;
        }
        *field->second = ElementText(child);
        if (child->GetName() == "SettingsList")
            command.settingsListLangId = child->GetAttribute("langID");
        if (++seen[child->GetName()] > 1)
            problems.push_back("Command has two " + Text(child->GetName()));
        if (HasBlankEnds(*field->second))
            problems.push_back(Text(child->GetName()) + " \"" + Text(*field->second) + "\" has blank ends");
    }
    for (const char* required : {"CommandName", "FriendlyText", "ControlType", "langID"}) {
        if (seen[required] == 0 || fields.at(required)->empty())
            problems.push_back("Command " + Text(command.name) + " has no " + required);
    }
}

bool ReadCommandFile(const wxString& path, SCommandFile& file)
{
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "DeviceConfiguration", "ShippedDataTest"))
        return false;
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (IsElementNode(node) && node->GetName() == "Command")
            file.commands.emplace_back().ReadFrom(*node);
    }
    return true;
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

struct SPageGroup {
    wxString caption;
    wxString langID;
    std::vector<SCommand> rows;
};

struct SPage {
    wxString name;
    std::vector<SPageGroup> groups;
};

struct SPageFile {
    std::vector<SPage> pages;
    std::vector<std::string> problems;  // where the file leaves the element structure

    std::vector<const SCommand*> Rows() const
    {
        std::vector<const SCommand*> rows;
        for (const SPage& page : pages) {
            for (const SPageGroup& group : page.groups) {
                for (const SCommand& row : group.rows)
                    rows.push_back(&row);
            }
        }
        return rows;
    }
};

// Reads a page or a group: one <Value> for its caption, with `langID` one <langID> as
// well, and at least one `childName` element, each handed to `readChild`.
void ReadCaptioned(const wxXmlNode* element, const wxString& childName, wxString& caption, wxString* langID,
                   std::vector<std::string>& problems, const std::function<void(const wxXmlNode*)>& readChild)
{
    int values = 0;
    int langIDs = 0;
    int children = 0;
    for (const wxXmlNode* child = element->GetChildren(); child; child = child->GetNext()) {
        if (!IsElementNode(child))
            continue;
        if (child->GetName() == "Value") {
            ++values;
            caption = ElementText(child);
        } else if (langID && child->GetName() == "langID") {
            ++langIDs;
            *langID = ElementText(child);
        } else if (child->GetName() == childName) {
            ++children;
            readChild(child);
        } else {
            problems.push_back(Text(element->GetName()) + " has the element " + Text(child->GetName()));
        }
    }
    if (values != 1 || caption.empty() || children == 0 || (langID && (langIDs != 1 || langID->empty())))
        problems.push_back(Text(element->GetName()) + " \"" + Text(caption) + "\" needs one caption, its langID and " +
                           Text(childName));
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
        SPage& page = file.pages.emplace_back();
        ReadCaptioned(node, "GroupName", page.name, nullptr, file.problems, [&](const wxXmlNode* groupNode) {
            SPageGroup& group = page.groups.emplace_back();
            ReadCaptioned(groupNode, "Command", group.caption, &group.langID, file.problems,
                          [&](const wxXmlNode* command) { ReadCommand(command, group.rows.emplace_back(), file.problems); });
        });
        for (SPageGroup& group : page.groups) {
            for (SCommand& row : group.rows) {
                row.page = page.name;
                row.group = group.caption;
            }
        }
    }
    return true;
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

// What is wrong with a setting's list for its keyword, or nothing.
std::string ListProblem(const wxString& keyword, const wxString& list)
{
    const bool labelFirst = keyword == "COMBOBOXCUSTOM";
    if (labelFirst && !list.EndsWith("|"))
        return "the last label is only found before a closing |";
    const std::vector<SListItem> items = ListItems(list, labelFirst);
    if ((keyword == "RADIO" || keyword == "RADIO#") && items.size() != 2)
        return "a toggle needs an off and an on item";
    // Every value must show its own label, found in the list as the settings find it.
    CCmdNameXmlInfo setting;
    setting.ControlType = labelFirst ? "COMBOBOXCUSTOM" : "COMBOBOX";
    setting.SettingsList = list;
    std::set<wxString> values;
    for (const SListItem& item : items) {
        if (item.value.empty() || item.label.empty())
            return "item without value or label";
        if (!values.insert(item.value).second)
            return "value " + Text(item.value) + " twice";
        if (setting.GetValueLabel(item.value) != item.label)
            return "value " + Text(item.value) + " shows \"" + Text(setting.GetValueLabel(item.value)) + "\"";
    }
    return std::string();
}

// Calls `visit` for every tab below `node`, depth first in file order.
void ForEachTab(const CTabNodeXmlInfo& node, const std::function<void(const CTabNodeXmlInfo&)>& visit)
{
    for (const auto& child : node.GetChildren()) {
        visit(*child);
        ForEachTab(*child, visit);
    }
}

class ShippedDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR);
        ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
        ASSERT_GE(Models().size(), 6u);
        ASSERT_TRUE(ReadPageFile(ConfigFile("pageinfo.xml"), m_pages));
    }
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

    // Every model of the catalogue, in category and key order.
    static std::vector<CDeviceInfo*> Models()
    {
        std::vector<CDeviceInfo*> models;
        for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
            for (const auto& entry : category->GetDevices())
                models.push_back(entry.second.get());
        }
        return models;
    }

    // The command file of every model, by file name.
    static std::map<wxString, SCommandFile> CommandFiles()
    {
        std::map<wxString, SCommandFile> files;
        for (const CDeviceInfo* model : Models())
            EXPECT_TRUE(ReadCommandFile(ConfigFile(model->m_link), files[model->m_link])) << model->m_link;
        return files;
    }

    // The tabs as the program loads them with every setting of every model supported, so
    // that no page goes for want of a setting.
    static void LoadEveryTab(CTabNodeXmlInfo& root)
    {
        for (const auto& [link, file] : CommandFiles()) {
            for (const CDeviceCmdNameXmlInfo& command : file.commands)
                CDeviceCmdNameMntXmlInfo::GetInstance().SetCurrentValue(command.CommandName, command.Default);
        }
        ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
        ASSERT_TRUE(root.Load());
    }

    static wxString ConfigFile(const wxString& name) { return CAppContext::GetInstance().GetFilePath("Config", name); }

    SPageFile m_pages;
};

// A list whose labels a language translates, as the data gives it.
struct STranslatedList {
    wxString identifier;
    wxString keyword;
    wxString list;
    bool mayBeMissing;  // a page's list stays as it is where a language has none
};

TEST_F(ShippedDataTest, EveryLanguageHasEveryTextTheProgramAndItsDataName)
{
    std::set<wxString> identifiers;
    for (const std::string& identifier : IdentifiersUsedInSources())
        identifiers.insert(identifier);
    ASSERT_GT(identifiers.size(), 10u);
    std::vector<STranslatedList> lists;
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories())
        identifiers.insert(category->m_langID);
    for (const CDeviceInfo* model : Models())
        identifiers.insert(model->m_langID);
    std::map<wxString, wxString> modelLists;  // identifier -> the list as the first command file gives it
    for (const auto& [link, file] : CommandFiles()) {
        for (const CDeviceCmdNameXmlInfo& command : file.commands) {
            if (command.SettingsListLangId.empty())
                continue;
            EXPECT_EQ("COMBOBOXCUSTOM", command.ControlType) << command.CommandName;
            const auto known = modelLists.emplace(command.SettingsListLangId, command.SettingsList);
            EXPECT_EQ(known.first->second, command.SettingsList) << command.SettingsListLangId << " in " << link;
            if (known.second)
                lists.push_back({command.SettingsListLangId, command.ControlType, command.SettingsList, false});
        }
    }
    ASSERT_FALSE(lists.empty());
    for (const SPage& page : m_pages.pages) {
        for (const SPageGroup& group : page.groups) {
            identifiers.insert(group.langID);
            for (const SCommand& row : group.rows) {
                identifiers.insert(row.langID);
                if (!row.settingsListLangId.empty())
                    lists.push_back({row.settingsListLangId, row.controlType, row.settingsList, true});
            }
        }
    }
    CTabNodeXmlInfo tabs;
    LoadEveryTab(tabs);
    ForEachTab(tabs, [&](const CTabNodeXmlInfo& tab) { identifiers.insert(tab.langID); });

    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    EXPECT_EQ("CN", languages.GetDefaultLanguage());
    EXPECT_NE(nullptr, languages.FindLanguage("EN"));
    ASSERT_GE(languages.GetLanguages().size(), 2u);
    for (const SLanguageEntry& language : std::vector<SLanguageEntry>(languages.GetLanguages())) {
        ASSERT_TRUE(languages.LoadLanguageTexts(language.name)) << language.name;
        for (const wxString& identifier : identifiers) {
            const wxString text = languages.GetText(identifier, "\x01");
            EXPECT_TRUE(text != "\x01" && !text.empty()) << identifier << " missing in " << language.name;
        }
        // The message box's answers carry the letter people expect on their buttons,
        // and no marker where the same texts are shown or written.
        const struct {
            const char* identifier;
            wxChar letter;
        } answers[] = {{"IDYES", 'y'}, {"IDNO", 'n'}, {"IDOK", 'o'}, {"IDCANCEL", 'c'}};
        for (const auto& answer : answers) {
            EXPECT_EQ(answer.letter, MnemonicOf(GetUiLabel(answer.identifier, ""))) << answer.identifier << " in "
                                                                                     << language.name;
            EXPECT_FALSE(GetUiText(answer.identifier, "").Contains("&")) << answer.identifier << " in " << language.name;
        }
        // The Qcon recommendation sends the user to this language's help, to a section that is there.
        const wxString help = wxFileName(language.helpDocument).GetFullName();
        EXPECT_NE(wxNOT_FOUND, languages.GetText("ID_DEVICE_USE_QCON", "").Find(help + "#download")) << language.name;
        wxFile document(language.helpDocument);
        wxString html;
        ASSERT_TRUE(document.IsOpened() && document.ReadAll(&html, wxConvUTF8)) << language.helpDocument;
        EXPECT_NE(wxNOT_FOUND, html.Find("id=\"download\"")) << language.helpDocument;

        // A translated list replaces the data's own: only its labels may differ, and
        // every value must still find its label.
        for (const STranslatedList& entry : lists) {
            const wxString translated = languages.GetText(entry.identifier, entry.mayBeMissing ? entry.list : "\x01");
            EXPECT_EQ("", ListProblem(entry.keyword, translated)) << entry.identifier << " in " << language.name;
            const bool labelFirst = entry.keyword == "COMBOBOXCUSTOM";
            std::vector<std::string> ours;
            std::vector<std::string> theirs;
            for (const SListItem& item : ListItems(entry.list, labelFirst))
                ours.push_back(Text(item.value));
            for (const SListItem& item : ListItems(translated, labelFirst))
                theirs.push_back(Text(item.value));
            EXPECT_EQ(ours, theirs) << entry.identifier << " in " << language.name << ": " << translated;
        }
    }
}

// Each model is in one category with its picture, and a scanner is matched to the model
// whose name it reports (the cordless HS620W's name holds the corded HS620's as well).
TEST_F(ShippedDataTest, CatalogueModelsHavePicturesAndAreMatchedByTheNameTheScannerReports)
{
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    EXPECT_GE(catalogue.GetCategories().size(), 2u);
    std::set<wxString> keys;
    for (const auto& category : catalogue.GetCategories()) {
        EXPECT_FALSE(category->m_langID.empty()) << category->m_key;
        EXPECT_TRUE(category->m_iconImage) << category->m_icon;
        EXPECT_FALSE(category->GetDevices().empty()) << category->m_key;
        for (const auto& [key, model] : category->GetDevices()) {
            EXPECT_TRUE(keys.insert(key).second) << key << " is listed in two categories";
            EXPECT_FALSE(model->m_langID.empty()) << key;
            EXPECT_TRUE(model->m_pictureImage) << model->m_picture;
            for (const wxString& reported : {key, key.AfterFirst('-'), key + " V1.2"}) {
                const std::unique_ptr<CDeviceInfo> matched = catalogue.MatchDevice(reported);
                ASSERT_TRUE(matched) << reported;
                EXPECT_EQ(model->m_link, matched->m_link) << "\"" << reported << "\" is taken for another model";
            }
        }
    }
    EXPECT_EQ(1u, keys.count("HBS-HS620W") * keys.count("HBS-HS620"));
    // A scanner the catalogue does not know is shown with the unknown-device picture.
    const std::unique_ptr<CDeviceInfo> unknown = catalogue.MatchDevice("ACME-X1");
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(unknown->m_pictureImage) << unknown->m_picture;
}

TEST_F(ShippedDataTest, EveryModelHasItsOwnCommandFileOfUniquelyNamedCommands)
{
    const std::map<wxString, SCommandFile> files = CommandFiles();
    EXPECT_EQ(Models().size(), files.size()) << "two models share a command file";
    for (const CDeviceInfo* model : Models()) {
        SCOPED_TRACE(Text(model->m_link));
        const SCommandFile& file = files.at(model->m_link);
        EXPECT_GE(file.commands.size(), 60u);
        std::set<wxString> names;
        for (const CDeviceCmdNameXmlInfo& command : file.commands) {
            const wxString& name = command.CommandName;
            EXPECT_TRUE(IsCommandName(name) || kPseudoCommands.count(name)) << "\"" << name << "\"";
            EXPECT_TRUE(names.insert(name).second) << name << " is defined twice";
            EXPECT_EQ(1u, kControlTypes.count(command.ControlType)) << name << " " << command.ControlType;
            if (!command.CmdGetLen.empty()) {
                EXPECT_TRUE(command.CmdGetLen.IsNumber()) << name << " length " << command.CmdGetLen;
            }
        }
        // Settings barcodes of the model switch setup mode with this command.
        EXPECT_EQ(1u, names.count(model->m_setupCommand)) << model->m_setupCommand;
    }
}

TEST_F(ShippedDataTest, EveryModelsScriptLogsTheFilesWrittenForItAndNoOthers)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    for (CDeviceInfo* model : Models()) {
        ASSERT_FALSE(model->m_lua.empty()) << model->m_key;
        CTempDir folder;
        const std::string own = "<Vostrel DeviceType=\"" + Text(model->m_key) +
                                "\"><Command CommandName=\"SCNMOD\" Value=\"2\"/><Command CommandName=\"CODEID\"/></Vostrel>";
        folder.Write("own.xml", own);
        folder.Write("other.xml", "<Vostrel DeviceType=\"HBS-XX999\"><Command CommandName=\"SCNMOD\" Value=\"2\"/></Vostrel>");
        engine.SetCurrentModel(model);
        EXPECT_TRUE(engine.RunDeviceHook(folder.File("own.xml"))) << model->m_key;
        EXPECT_TRUE(engine.RunDeviceHook(folder.File("other.xml"))) << model->m_key;
        const std::string log = folder.Read("vostrel-hooks.log");
        EXPECT_NE(std::string::npos, log.find(" " + Text(model->m_key) + " 2 own.xml\n")) << log;
        EXPECT_EQ(1, std::count(log.begin(), log.end(), '\n')) << "the other model's file is not logged: " << log;
    }
    engine.SetCurrentModel(nullptr);
}

TEST_F(ShippedDataTest, PassAndTranslationListsNameRealSettings)
{
    std::set<wxString> known;
    const std::map<wxString, SCommandFile> files = CommandFiles();
    for (const auto& [link, file] : files) {
        for (const CDeviceCmdNameXmlInfo& command : file.commands)
            known.insert(command.CommandName);
    }
    wxXmlDocument pass;
    ASSERT_TRUE(pass.Load(ConfigFile("PassCmd.xml")));
    size_t passed = 0;
    for (const wxXmlNode* node = pass.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetName() != "node")
            continue;  // the comments
        ++passed;
        const wxString cmd = node->GetAttribute("Cmd");
        const bool found = node->GetAttribute("Type") == "1"
                               ? std::any_of(known.begin(), known.end(), [&](const wxString& n) { return n.Contains(cmd); })
                               : known.count(cmd) > 0;
        EXPECT_TRUE(found) << cmd;
        EXPECT_TRUE(CSaveCfg::IsPassCommand(node->GetAttribute("Type") == "1" ? cmd + "XX" : cmd, "1")) << cmd;
    }
    EXPECT_GT(passed, 0u);
    EXPECT_FALSE(CSaveCfg::IsPassCommand("232BAD", "8"));

    // The pages never save an action (clear, restore, test, query); the scanner's own
    // list of values must not bring one into a file either, or sending the file runs it.
    for (const auto& [link, file] : files) {
        for (const CDeviceCmdNameXmlInfo& command : file.commands) {
            CCmdNameXmlInfo definition;
            definition.ControlType = command.ControlType;
            if (!definition.IsSavedControl()) {
                EXPECT_TRUE(CSaveCfg::IsPassCommand(command.CommandName, "1")) << link << " " << command.CommandName;
            }
        }
    }

    wxXmlDocument translations;
    ASSERT_TRUE(translations.Load(ConfigFile("transCmd.xml")));
    size_t translated = 0;
    for (const wxXmlNode* node = translations.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetName() != "node")
            continue;
        ++translated;
        EXPECT_EQ(1u, known.count(node->GetAttribute("oldcmd"))) << node->GetAttribute("oldcmd");
        EXPECT_EQ(0u, known.count(node->GetAttribute("newcmd"))) << "a file name that no model uses any more";
        EXPECT_EQ(node->GetAttribute("newcmd"), CSaveCfg::TranslateCommand(node->GetAttribute("oldcmd")));
    }
    EXPECT_GT(translated, 0u);
}

TEST_F(ShippedDataTest, PageFileIsPagesOfCaptionedGroupsOfCompleteCommandsUsingEveryKeyword)
{
    for (const std::string& problem : m_pages.problems)
        ADD_FAILURE() << problem;
    ASSERT_FALSE(m_pages.pages.empty());
    std::set<wxString> names;
    for (const SPage& page : m_pages.pages) {
        EXPECT_TRUE(names.insert(page.name).second) << "two pages named " << page.name;
        // Groups of one page are told apart by their titles.
        std::set<wxString> titles;
        for (const SPageGroup& group : page.groups)
            EXPECT_TRUE(titles.insert(group.langID.empty() ? group.caption : group.langID).second)
                << page.name << ": two groups titled " << group.caption;
    }

    std::set<wxString> keywords;
    std::set<wxString> pseudo;
    for (const SCommand* row : m_pages.Rows()) {
        keywords.insert(row->controlType);
        const auto own = kPseudoCommands.find(row->name);
        if (own == kPseudoCommands.end() || kToolRowKeywords.count(row->controlType))
            continue;
        pseudo.insert(row->name);
        EXPECT_EQ(Text(own->second), Text(row->controlType)) << row->name;
    }
    // A page button (MNUCMD) leads to a setting of another page; no shipped page needs one.
    std::set<wxString> expected = kControlTypes;
    expected.erase("MNUCMD");
    keywords.erase("MNUCMD");
    EXPECT_EQ(expected, keywords) << "the pages use unknown keywords or leave some out";
    const std::vector<const SCommand*> rows = m_pages.Rows();
    for (const SCommand* button : rows) {
        if (button->controlType != "MNUCMD")
            continue;
        const auto target = std::find_if(rows.begin(), rows.end(), [&](const SCommand* row) {
            return row->name == button->name && row->controlType != "MNUCMD";
        });
        EXPECT_TRUE(target != rows.end() && (*target)->page != button->page)
            << button->page << ": the button " << button->caption << " leads to no setting of another page";
    }
    for (const auto& [name, keyword] : kPseudoCommands)
        EXPECT_EQ(1u, pseudo.count(name)) << name << " (" << keyword << ") is on no page";
}

// The icons themselves are loaded where the tabs of each model are.
TEST_F(ShippedDataTest, TabTreeShowsEveryPageOnceWithPictureIcons)
{
    CTabNodeXmlInfo root;
    LoadEveryTab(root);
    std::map<wxString, int> tabsOfPage;
    for (const SPage& page : m_pages.pages)
        tabsOfPage[page.name] = 0;
    size_t icons = 0;
    const auto checkRow = [](const CTabNodeXmlInfo& tab) {
        // A height reaches only the tabs after it, so one that follows them has no effect.
        for (const auto& child : tab.GetChildren())
            EXPECT_EQ(tab.height, child->ParentHeight) << "a height after the tabs of " << tab.name;
    };
    checkRow(root);
    ForEachTab(root, [&](const CTabNodeXmlInfo& tab) {
        EXPECT_FALSE(tab.name.empty() || tab.langID.empty()) << "a tab without name or langID";
        EXPECT_GT(tab.height, 0) << tab.name;
        // A leaf shows one page; an inner tab opens a row of tabs.
        EXPECT_NE(tab.PageNode != nullptr, !tab.GetChildren().empty()) << tab.name << " is neither a leaf nor a row";
        checkRow(tab);
        if (tab.PageNode)
            ++tabsOfPage[tab.PageNode->name];
        icons += !tab.icon.empty();
    });
    for (const auto& [page, tabs] : tabsOfPage)
        EXPECT_EQ(1, tabs) << "page " << page << " has " << tabs << " tabs";
    EXPECT_GT(icons, 0u);
}

TEST_F(ShippedDataTest, PagesHoldOnlyModelCommandsAndReachEveryOne)
{
    const std::map<wxString, SCommandFile> files = CommandFiles();
    std::set<wxString> onPages;
    for (const SCommand* row : m_pages.Rows()) {
        onPages.insert(row->name);
        if (kPseudoCommands.count(row->name))
            continue;
        size_t models = 0;
        for (const auto& [link, file] : files) {
            const CDeviceCmdNameXmlInfo* command = file.Find(row->name);
            if (!command)
                continue;
            ++models;
            // The keyword decides how the model's list and limits are read.
            if (!kToolRowKeywords.count(row->controlType)) {
                EXPECT_EQ(Text(command->ControlType), Text(row->controlType)) << row->name << " in " << link;
            }
        }
        EXPECT_GT(models, 0u) << row->page << "/" << row->group << ": no model has " << row->name;
    }
    for (const auto& [link, file] : files) {
        for (const CDeviceCmdNameXmlInfo& command : file.commands) {
            EXPECT_EQ(1u, onPages.count(command.CommandName)) << command.CommandName << " of " << link
                                                              << " is on no page";
        }
    }

    // A search by name takes the first row in page-name order: that must be the
    // setting itself, and a repeated name may only be a tool row after it.
    std::map<wxString, const SPage*> byName;
    for (const SPage& page : m_pages.pages)
        byName.emplace(page.name, &page);
    std::set<wxString> seen;
    for (const auto& [name, page] : byName) {
        for (const SPageGroup& group : page->groups) {
            for (const SCommand& row : group.rows) {
                const bool first = seen.insert(row.name).second;
                EXPECT_EQ(!first, kToolRowKeywords.count(row.controlType) == 1)
                    << name << "/" << group.caption << ": " << row.name << " " << row.controlType;
            }
        }
    }
}

TEST_F(ShippedDataTest, PageListsFitTheirControlsAndShowWhatTheModelsOffer)
{
    const std::map<wxString, SCommandFile> files = CommandFiles();
    for (const SCommand* row : m_pages.Rows()) {
        SCOPED_TRACE(Text(row->name + " " + row->controlType));
        const bool labelFirst = row->controlType == "COMBOBOXCUSTOM";
        if (kValueFirstKeywords.count(row->controlType) || labelFirst) {
            EXPECT_FALSE(row->settingsList.empty());
        }
        if (!row->settingsList.empty()) {
            EXPECT_EQ("", ListProblem(row->controlType, row->settingsList)) << row->settingsList;
        }
        std::set<wxString> values;
        for (const SListItem& item : ListItems(row->settingsList, labelFirst))
            values.insert(item.value);
        wxStringTokenizer hidden(row->unsupported, "|");
        while (hidden.HasMoreTokens())
            EXPECT_EQ(1u, values.count(hidden.GetNextToken())) << "hides a value it does not list";

        if (kToolRowKeywords.count(row->controlType))
            continue;
        for (const auto& [link, file] : files) {
            const CDeviceCmdNameXmlInfo* command = file.Find(row->name);
            if (!command)
                continue;
            // These controls show only the page's items: a value the model offers
            // without a label here could not be chosen.
            wxString first, last, offered;
            if (kFilteredListKeywords.count(row->controlType) &&
                CDeviceCmdNameMntXmlInfo::ExpandList(command->SettingsList, first, last, offered)) {
                for (const wxString& value : wxSplit(offered, '|', '\0'))
                    EXPECT_EQ(1u, values.count(value)) << link << " offers " << value;
            }
            // Offline the model file gives the length; online the page names the
            // query that asks the scanner for it. Both must give the same length.
            if (!command->CmdGetLen.empty()) {
                EXPECT_FALSE(row->cmdGetLen.empty()) << "no length query for connected scanners";
                const CDeviceCmdNameXmlInfo* query = file.Find(row->cmdGetLen);
                ASSERT_NE(nullptr, query) << link << " lacks " << row->cmdGetLen;
                EXPECT_EQ(Text(command->CmdGetLen), Text(query->Default)) << link;
            }
        }
    }
}

// The leaf tabs of the pages as now loaded, depth first, as the user meets them. A page
// keeps only what the model supports and goes with its tab when nothing is left, but
// no row of tabs may be left empty.
std::string LoadedLeafTabs()
{
    EXPECT_TRUE(CPageMntXmlInfo::GetInstance().Load());
    CTabNodeXmlInfo root;
    EXPECT_TRUE(root.Load());
    std::string tabs;
    ForEachTab(root, [&](const CTabNodeXmlInfo& tab) {
        EXPECT_TRUE(tab.PageNode || !tab.GetChildren().empty()) << "the row of " << tab.name << " is left empty";
        if (tab.PageNode)
            tabs += (tabs.empty() ? "" : ",") + Text(tab.name);
        if (!tab.icon.empty()) {
            EXPECT_TRUE(tab.iconImage && tab.iconsImage) << tab.icon;
        }
    });
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
    const std::vector<CDeviceInfo*> models = Models();
    ASSERT_EQ(models.size(), std::size(kTabsOfModel));
    CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
    for (const auto& row : kTabsOfModel) {
        SCOPED_TRACE(row.key);
        const auto model = std::find_if(models.begin(), models.end(),
                                        [&](const CDeviceInfo* entry) { return entry->m_key == row.key; });
        ASSERT_NE(models.end(), model);
        ASSERT_TRUE(map.Load((*model)->m_link));
        EXPECT_EQ(row.tabs, LoadedLeafTabs()) << "offline";

        SCommandFile file;
        ASSERT_TRUE(ReadCommandFile(ConfigFile((*model)->m_link), file));
        map.Clear();
        for (const CDeviceCmdNameXmlInfo& command : file.commands) {
            if (kPseudoCommands.count(command.CommandName))
                continue;  // a scanner does not know them
            map.SetCurrentValue(command.CommandName, command.Default);
            map.SetDefaultValue(command.CommandName, command.Default);
            map.SetRange(command.CommandName, command.SettingsList);
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
