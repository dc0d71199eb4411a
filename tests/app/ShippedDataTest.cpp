// The data tree that ships with the program: every text identifier the code asks
// for has an entry in every shipped language, and the model catalogue with the
// pictures, command files, scripts and texts it names is complete.
#include "AppContext.h"
#include "DeviceMnt.h"
#include "LanguageXmlInfo.h"

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <filesystem>
#include <fstream>
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

class ShippedDataTest : public ::testing::Test {
protected:
    void SetUp() override { CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR); }
    void TearDown() override
    {
        CDeviceMnt::ResetInstance();
        CLanguageXmlInfo::ResetInstance();
        CAppContext::ResetInstance();
    }

    // Every model of the loaded catalogue, in category and key order.
    static std::vector<const CDeviceInfo*> Models()
    {
        std::vector<const CDeviceInfo*> models;
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
            EXPECT_TRUE(IsCommandName(command.name)) << "\"" << command.name << "\"";
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

TEST_F(ShippedDataTest, EveryNamedLuaScriptIsShipped)
{
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    size_t scripts = 0;
    for (const CDeviceInfo* model : Models()) {
        if (model->m_lua.empty())
            continue;
        ++scripts;
        const wxString path = CAppContext::GetInstance().GetFilePath("lua", model->m_lua);
        EXPECT_TRUE(wxFileName::FileExists(path)) << model->m_key << ": " << path;
    }
    EXPECT_GT(scripts, 0u);
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

}  // namespace
