// Configuration files: what a saved file holds with and without a scanner, how a
// file is read back, prepared for sending and exported, and the two side files
// that rename and leave out commands.
#include "device/DeviceInfo.h"
#include "support/FileSizeLimit.h"
#include "support/NestedXml.h"

#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/MessageRecorder.h"
#include "support/ScriptedScanner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <wx/datetime.h>
#include <wx/dir.h>
#include <wx/xml/xml.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// One page setting of every kind a configuration file can hold, with the value
// the test gives it.
struct SKind {
    const char* name;
    const char* keyword;
    const char* value;
};

const SKind kSavedKinds[] = {
    {"SCNMOD", "COMBOBOX", "2"},        {"KBWCTY", "EDITCOMBOBOX", "7"}, {"BEPTON", "COMBOBOXCUSTOM", "3"},
    {"LEDPWR", "RADIOGROUP", "1"},      {"CIDDEF", "BUTTONGROUP", "4"},  {"BEPENA", "RADIO", "0"},
    {"VIBENA", "RADIO#", "1"},          {"PREORD", "EDIT", "A, B; C"},    {"SYSNAM", "EDIT_READONLY", "X1"},
    {"SCNTMO", "RANGEEDIT", "3000"},    {"TRMHEX", "HEXEDIT", "0D0A"},    {"KBWFKY", "HEXEDITKEYBOARD", "1B"},
    {"RTCDAT", "DATATIME", "2026-12-07"}, {"DFMSET", "DATAFORMAT", "Data Format 0:0099999;"},
    {"LICKEY", "LICENSECODE", "ABCD-1234"}, {"CODEID", "CODEID", ""},  {"IMGFIL", "FILESELECT", "a.bmp"},
    {"IMGMUL", "MULFILESELECT", "a.bmp|b.bmp"}, {"MULVAL", "MULVALUE", "1,2"},
};

std::string EveryKindModelFile()
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceConfiguration>\n";
    for (const SKind& kind : kSavedKinds)
        text += std::string(" <Command><CommandName>") + kind.name + "</CommandName><Default>0</Default></Command>\n";
    text += " <Command><CommandName>FACDEF</CommandName><Default></Default></Command>\n";
    text += " <Command><CommandName>DFMADD</CommandName><SettingsList>a|b</SettingsList>"
            "<Default>Data Format 1:0099999;</Default><Minimum>0</Minimum><Maximum>9</Maximum></Command>\n";
    return text + "</DeviceConfiguration>\n";
}

std::string EveryKindPageFile()
{
    std::string commands;
    for (const SKind& kind : kSavedKinds)
        commands += std::string("<Command><CommandName>") + kind.name + "</CommandName><ControlType>" + kind.keyword +
                    "</ControlType></Command>";
    // A button on the page is no setting and never reaches a file.
    commands += "<Command><CommandName>FACDEF</CommandName><ControlType>DEFCMD</ControlType></Command>";
    return "<Pages><Page><Value>All</Value><GroupName><Value>All</Value>" + commands +
           "</GroupName></Page></Pages>\n";
}

std::string ConfigurationFile(const std::string& root, const std::string& deviceType, const std::string& commands)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + " DeviceType=\"" + deviceType + "\">\n" +
           commands + "</" + root + ">\n";
}

std::string CommandElement(const std::string& name, const std::string& value)
{
    return " <Command CommandName=\"" + name + "\" Value=\"" + value + "\"/>\n";
}

std::string PassFile(const std::vector<std::pair<std::string, std::string>>& nodes)
{
    std::string text = "<setting>\n";
    for (const auto& [type, cmd] : nodes)
        text += " <node Type=\"" + type + "\" Cmd=\"" + cmd + "\"/>\n";
    return text + "</setting>\n";
}

// The "Command" elements of a written file, as name and value ("<none>" when the
// element has no value).
std::vector<std::pair<wxString, wxString>> ReadCommands(const wxString& path, wxString* deviceType = nullptr)
{
    std::vector<std::pair<wxString, wxString>> commands;
    wxXmlDocument document;
    if (!document.Load(path, "UTF-8") || !document.GetRoot())
        return commands;
    if (deviceType)
        *deviceType = document.GetRoot()->GetAttribute("DeviceType");
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext())
        if (node->GetName() == "Command")
            commands.emplace_back(node->GetAttribute("CommandName"), node->GetAttribute("Value", "<none>"));
    return commands;
}

class ConfigFileTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_dir.Write("Config/Model.xml", EveryKindModelFile());
        m_dir.Write("Config/pageinfo.xml", EveryKindPageFile());
        m_dir.Write("Config/PassCmd.xml", PassFile({}));
        m_dir.Write("Config/transCmd.xml", "<setting/>");
        ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::GetInstance().Load("Model.xml"));
        ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
        m_model.m_key = "HBS-HS620";
        m_model.m_matchName = "HBS-HS620";
        CSaveCfg::GetInstance().SetCurrentModel(&m_model);
    }

    static void GiveEveryKindItsValue()
    {
        for (const SKind& kind : kSavedKinds)
            CPageMntXmlInfo::GetInstance().FindCommand(kind.name)->SetValue(kind.value);
    }

    CTempDir m_dir;
    CDeviceInfo m_model;
};

TEST_F(ConfigFileTest, EveryKindOfSettingSurvivesASaveAndOpenWithoutAScanner)
{
    GiveEveryKindItsValue();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    ASSERT_TRUE(engine.SaveConfiguration(m_dir.File("saved.xml")));

    wxString deviceType;
    const auto written = ReadCommands(m_dir.File("saved.xml"), &deviceType);
    EXPECT_EQ("HBS-HS620", deviceType);
    ASSERT_EQ(std::size(kSavedKinds), written.size()) << "page settings only, the button left out";
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(kSavedKinds[i].name, written[i].first);
        const bool codeId = written[i].first == "CODEID";
        EXPECT_EQ(codeId ? "<none>" : kSavedKinds[i].value, written[i].second) << written[i].first;
    }

    CPageMntXmlInfo::GetInstance().ResetAllToDefaults();
    ASSERT_TRUE(engine.OpenConfiguration(m_dir.File("saved.xml"), true));
    engine.ApplyLoadedValues();
    for (const SKind& kind : kSavedKinds) {
        if (std::string(kind.keyword) == "CODEID")
            continue;
        EXPECT_EQ(kind.value, CPageMntXmlInfo::GetInstance().FindCommand(kind.name)->Value) << kind.name;
    }
}

TEST_F(ConfigFileTest, ASavedFileHoldsTheToolsValuesThenWhatElseTheScannerReports)
{
    CScriptedScanner scanner;
    ASSERT_NE(nullptr, OpenTestDevice(scanner.Path()));
    // The scanner has its own mode, reports its beeper twice and knows two settings
    // that are on no page.
    scanner.Script({ReplyFrame("SCNMOD0\x06;BEPENA1\x06;232BAD8\x06,PAR0\x06;BEPENA1\x06;FACDEF\x06")});
    CPageMntXmlInfo::GetInstance().FindCommand("SCNMOD")->SetValue("2");
    m_dir.Write("Config/PassCmd.xml", PassFile({{"2", ""}}));

    ASSERT_TRUE(CSaveCfg::GetInstance().SaveConfiguration(m_dir.File("online.xml")));
    const auto written = ReadCommands(m_dir.File("online.xml"));
    ASSERT_GE(written.size(), 2u);
    const std::vector<std::pair<wxString, wxString>> tail(written.end() - 2, written.end());
    EXPECT_EQ((std::vector<std::pair<wxString, wxString>>{{"232BAD", "8"}, {"232PAR", "0"}}), tail)
        << "a reported setting is written once, and the empty FACDEF is left out";
    const auto named = [&written](const char* name) {
        return std::count_if(written.begin(), written.end(), [name](const auto& command) { return command.first == name; });
    };
    EXPECT_EQ(1, named("SCNMOD"));
    EXPECT_EQ(1, named("BEPENA"));
    EXPECT_EQ(1, std::count(written.begin(), written.end(), std::make_pair(wxString("SCNMOD"), wxString("2"))))
        << "the tool's value, not the scanner's";
}

TEST_F(ConfigFileTest, OpeningAcceptsBothRootNamesAndKeepsTheFirstOfARepeatedCommand)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    const std::string commands = CommandElement("SCNMOD", "2") + CommandElement("SCNMOD", "3") +
                                 " <Other CommandName=\"BEPENA\" Value=\"1\"/>\n" + CommandElement("", "9");
    for (const char* root : {"Vostrel", "Vastrel"}) {
        m_dir.Write("Config/old.xml", ConfigurationFile(root, "HBS-HS620", commands));
        ASSERT_TRUE(engine.OpenConfiguration(m_dir.File("Config/old.xml"), true)) << root;
        EXPECT_EQ((std::map<wxString, wxString>{{"SCNMOD", "2"}}), engine.GetValueMap()) << root;
        EXPECT_EQ("HBS-HS620", engine.GetFileDeviceType());
    }
    m_dir.Write("Config/old.xml", ConfigurationFile("Configuration", "HBS-HS620", commands));
    EXPECT_FALSE(engine.OpenConfiguration(m_dir.File("Config/old.xml"), true));
    EXPECT_TRUE(engine.GetValueMap().empty());
    m_dir.Write("Config/old.xml", "<Vostrel><Command CommandName=");
    EXPECT_FALSE(engine.OpenConfiguration(m_dir.File("Config/old.xml"), true));
    EXPECT_FALSE(engine.OpenConfiguration(m_dir.File("missing.xml"), true));
}

TEST_F(ConfigFileTest, AFileForAnotherModelIsTakenOnlyWhenTheUserSaysSoAndUnknownCommandsAreListedButLoaded)
{
    CMessageRecorder messages;
    CSaveCfg& engine = CSaveCfg::GetInstance();
    m_dir.Write("other.xml", ConfigurationFile("Vostrel", "HBS-FM300", CommandElement("SCNMOD", "2")));

    messages.Answer(wxNO);
    EXPECT_FALSE(engine.OpenConfiguration(m_dir.File("other.xml"), true));
    EXPECT_TRUE(engine.GetValueMap().empty());
    ASSERT_EQ(1u, messages.Texts().size());
    EXPECT_TRUE(messages.Styles()[0] & wxYES_NO);

    messages.Answer(wxYES);
    EXPECT_TRUE(engine.OpenConfiguration(m_dir.File("other.xml"), true));
    EXPECT_EQ(1u, engine.GetValueMap().size());

    EXPECT_TRUE(engine.OpenConfiguration(m_dir.File("other.xml"), false));
    EXPECT_EQ(2u, messages.Texts().size()) << "no question without the model check";

    m_dir.Write("f.xml", ConfigurationFile("Vostrel", "HBS-HS620",
                                           CommandElement("SCNMOD", "2") + CommandElement("NEWCMD", "1") +
                                               CommandElement("BEPENA", "0")));
    ASSERT_TRUE(engine.OpenConfiguration(m_dir.File("f.xml"), false));
    EXPECT_EQ("SCNMOD,NEWCMD,BEPENA", engine.GetUnsupportedList()) << "no scanner connected yet";

    engine.SetDeviceCommandList("SCNMOD,BEPENA,232BAD");
    ASSERT_TRUE(engine.OpenConfiguration(m_dir.File("f.xml"), false));
    EXPECT_EQ("NEWCMD", engine.GetUnsupportedList());
    EXPECT_EQ(3u, engine.GetValueMap().size());
}

// Each setting of a file to send is sent, left out (with a note) or refused (and
// named), never dropped silently: what apply, diff and inventory report rests on it.
TEST_F(ConfigFileTest, AFileForSendingSortsEverySettingIntoSentLeftOutOrRefused)
{
    m_dir.Write("Config/PassCmd.xml", PassFile({{"0", "SYSHRS"}}));
    CSaveCfg& engine = CSaveCfg::GetInstance();
    m_dir.Write("send.xml", ConfigurationFile("Vastrel", "HBS-HS620",
                                              CommandElement("SCNMOD", "2") + CommandElement("INTERF", "1") +
                                                  CommandElement("DFMSIN", "x") + CommandElement("", "5") +
                                                  CommandElement("PREORD", "2;232BAD0") +
                                                  CommandElement("LONGER", std::string(100000, 'x')) +
                                                  CommandElement("BEPENA", "") + CommandElement("SYSHRS", "5") +
                                                  CommandElement("SCNTMO", "3000") + CommandElement("SCNTMO", "3000") +
                                                  CommandElement("TRMHEX", "0D") + CommandElement("TRMHEX", "0A") +
                                                  CommandElement("CODEID", "") +
                                                  CommandElement("DFMSET", "Data Format 0:0099999;")));
    ASSERT_TRUE(engine.LoadFileForSending(m_dir.File("send.xml")));
    EXPECT_EQ((std::vector<wxString>{"SCNMOD2", "SCNTMO3000", "DFMSETData Format 0:0099999;"}), engine.GetSendList());
    const struct {
        const std::vector<CSaveCfg::SFileSettingNote>& notes;
        std::vector<std::pair<wxString, wxString>> expected;  // name, a part of the reason
    } lists[] = {{engine.GetRefusedFileSettings(),
                  {{"PREORD", "';'"}, {"LONGER", "100000 characters"}, {"TRMHEX", "different values"}}},
                 {engine.GetLeftOutFileSettings(), {{"SYSHRS", "query"}, {"SCNTMO", "given 2 times"}}}};
    for (const auto& list : lists) {
        ASSERT_EQ(list.expected.size(), list.notes.size());
        for (size_t i = 0; i < list.notes.size(); ++i) {
            EXPECT_EQ(list.expected[i].first, list.notes[i].name);
            EXPECT_TRUE(list.notes[i].reason.Contains(list.expected[i].second)) << list.notes[i].reason;
        }
    }
    // One comparison: a refused setting makes the file differ from any scanner.
    const std::map<wxString, wxString> holdsAll = {{"SCNMOD", "2"}, {"SCNTMO", "3000"}, {"DFMSET", "Data Format 0:0099999;"}};
    const CSaveCfg::SFileComparison comparison = engine.CompareFileWith(holdsAll);
    EXPECT_TRUE(comparison.toSend.empty());
    EXPECT_EQ(3u, comparison.refused.size());
    EXPECT_TRUE(comparison.Differs());
    // An empty value is never sent; it is noted where the scanner holds something else.
    ASSERT_EQ(3u, comparison.leftOut.size());
    EXPECT_EQ("BEPENA", comparison.leftOut.back().name);
    EXPECT_EQ(2u, engine.CompareFileWith({{"BEPENA", ""}}).leftOut.size());
    EXPECT_FALSE(engine.LoadFileForSending(m_dir.File("absent.xml")));
}

TEST_F(ConfigFileTest, AFileTooLargeTooDeepOrWithTooManySettingsIsRefusedWithTheReason)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += CommandElement("C" + std::to_string(100000 + i), "1");
    const struct {
        std::string content;
        const char* reason;
    } cases[] = {{ConfigurationFile("Vostrel", "HBS-HS620", std::string(5u << 20, ' ')), "larger than"},
                 {ConfigurationFile("Vostrel", "HBS-HS620", Nested(200000)),
                  "deeper"},
                 {ConfigurationFile("Vostrel", "HBS-HS620", many), "more than 4096 settings"}};
    for (const auto& row : cases) {
        m_dir.Write("big.xml", row.content);
        EXPECT_FALSE(engine.LoadFileForSending(m_dir.File("big.xml")));
        EXPECT_TRUE(engine.GetLastFileError().Contains(row.reason)) << engine.GetLastFileError();
        EXPECT_TRUE(engine.GetSendList().empty());
    }
}

// "€" and "中" have no byte in the narrow encoding and would reach the scanner as
// "?"; "é" has one. A file path stays in the tool and may hold anything.
TEST_F(ConfigFileTest, AValueTheScannerCannotReceiveRefusesTheFileAndChangesNothing)
{
    CMessageRecorder messages;
    CSaveCfg& engine = CSaveCfg::GetInstance();
    CCmdNameXmlInfo& prefix = *CPageMntXmlInfo::GetInstance().FindCommand("PREORD");
    prefix.SetValue("kept");
    const struct {
        const char* value;
        const char* refused;  // the character the message shows, or none
    } cases[] = {{"caf\xC3\xA9", nullptr}, {"\xE2\x82\xAC" "5", "\xE2\x82\xAC"}, {"a\xE4\xB8\xAD", "\xE4\xB8\xAD"}};
    for (const auto& c : cases) {
        m_dir.Write("f.xml", ConfigurationFile("Vostrel", "HBS-HS620",
                                               CommandElement("SCNMOD", "2") + CommandElement("PREORD", c.value) +
                                                   CommandElement("IMGFIL", "\xE4\xB8\xAD.bmp")));
        const size_t before = messages.Texts().size();
        EXPECT_EQ(!c.refused, engine.OpenConfiguration(m_dir.File("f.xml"), false)) << c.value;
        EXPECT_EQ(!c.refused, engine.LoadFileForSending(m_dir.File("f.xml"))) << c.value;
        if (!c.refused) {
            EXPECT_EQ(before, messages.Texts().size());
            EXPECT_EQ((std::vector<wxString>{"SCNMOD2", "PREORD" + wxString::FromUTF8(c.value)}), engine.GetSendList())
                << "the path is left out of what is sent";
            continue;
        }
        EXPECT_TRUE(engine.GetValueMap().empty());
        EXPECT_TRUE(engine.GetSendList().empty());
        ASSERT_EQ(before + 2, messages.Texts().size()) << "one refusal when opening, one when sending";
        const wxString& text = messages.Texts()[before];
        EXPECT_TRUE(text.StartsWith("PREORD: ")) << text;
        EXPECT_TRUE(text.EndsWith(wxString("\"") + wxString::FromUTF8(c.refused) + "\"")) << text;
        EXPECT_TRUE(messages.Styles()[before] & wxICON_WARNING);
    }
    EXPECT_EQ("kept", prefix.Value);
    EXPECT_TRUE(CPendingChangeList::GetInstance().IsListed(&prefix));
}

TEST_F(ConfigFileTest, ThePassListAndTheTranslationsDecideByTheirFirstNodeThatApplies)
{
    m_dir.Write("Config/PassCmd.xml",
                PassFile({{"", "SCNMOD"}, {"3", "232BAD"}, {"1", "232"}, {"2", "ignored"}, {"9", "SCNMOD"}, {"1", ""}}));
    EXPECT_FALSE(CSaveCfg::IsPassCommand("232BAD", "8")) << "kept by the type 3 node before the type 1 node";
    EXPECT_TRUE(CSaveCfg::IsPassCommand("232PAR", "0"));
    EXPECT_TRUE(CSaveCfg::IsPassCommand("BEPENA", "")) << "type 2 leaves out every empty value";
    EXPECT_TRUE(CSaveCfg::IsPassCommand("SCNMOD", "1")) << "an unknown type means the exact name";
    EXPECT_FALSE(CSaveCfg::IsPassCommand("SCNMOX", "1"));
    EXPECT_FALSE(CSaveCfg::IsPassCommand("BEPENA", "1"));

    m_dir.Write("Config/PassCmd.xml", "<setting><node Type=");
    EXPECT_FALSE(CSaveCfg::IsPassCommand("232PAR", "")) << "an unreadable list keeps everything";
    m_dir.Write("Config/transCmd.xml", "<setting><node oldcmd=\"KBWCTY\" newcmd=\"\"/>"
                                       "<node oldcmd=\"kbwcty\" newcmd=\"KBWLOW\"/><node oldcmd=\"KBWCTY\" newcmd=\"KBWLAN\"/>"
                                       "<node oldcmd=\"KBWCTY\" newcmd=\"KBWSEC\"/><other oldcmd=\"BEPENA\" newcmd=\"X\"/></setting>");
    EXPECT_EQ("KBWLAN", CSaveCfg::TranslateCommand("KBWCTY"));
    EXPECT_EQ("", CSaveCfg::TranslateCommand("BEPENA"));

    // A file written under the other name still reaches the page setting.
    CSaveCfg& engine = CSaveCfg::GetInstance();
    m_dir.Write("f.xml", ConfigurationFile("Vostrel", "HBS-HS620", CommandElement("KBWLAN", "5")));
    ASSERT_TRUE(engine.OpenConfiguration(m_dir.File("f.xml"), false));
    engine.ApplyLoadedValues();
    EXPECT_EQ("5", CPageMntXmlInfo::GetInstance().FindCommand("KBWCTY")->Value);

    m_dir.Write("Config/transCmd.xml", "not xml");
    EXPECT_EQ("", CSaveCfg::TranslateCommand("KBWCTY"));
}

TEST_F(ConfigFileTest, TheExportHoldsTheCommandMapWithoutTheDataFormatDefaultAndSnapshotsAreNamed)
{
    ASSERT_TRUE(CSaveCfg::GetInstance().ExportDeviceConfiguration(m_dir.File("export.xml")));
    wxXmlDocument document;
    ASSERT_TRUE(document.Load(m_dir.File("export.xml"), "UTF-8"));
    EXPECT_EQ("DeviceConfiguration", document.GetRoot()->GetName());
    EXPECT_EQ("HBS-HS620", document.GetRoot()->GetAttribute("DeviceType"));

    std::vector<wxString> names;
    const wxXmlNode* dataFormat = nullptr;
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        const wxString name = node->GetChildren()->GetNodeContent();
        names.push_back(name);
        if (name == "DFMADD")
            dataFormat = node;
    }
    EXPECT_EQ(CDeviceCmdNameMntXmlInfo::GetInstance().GetCount(), names.size());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    ASSERT_NE(nullptr, dataFormat);
    std::map<wxString, wxString> fields;
    for (const wxXmlNode* field = dataFormat->GetChildren(); field; field = field->GetNext())
        fields[field->GetName()] = field->GetNodeContent();
    EXPECT_EQ((std::map<wxString, wxString>{{"CommandName", "DFMADD"}, {"Minimum", "0"}, {"Maximum", "9"},
                                            {"SettingsList", "a|b"}, {"Default", ""}}),
              fields);
    // Snapshots are named by model and local time.
    const wxDateTime when(7, wxDateTime::Dec, 2026, 9, 5, 3);
    EXPECT_EQ(m_dir.Path() + "tmp/HBS-HS620_2026-12-07-09-05-03.xml", CSaveCfg::GetSnapshotPath("HBS-HS620", when));
}

// The file size limit stops every write, also root's: the save fails while writing.
TEST_F(ConfigFileTest, AFailedSaveLeavesTheExistingFileAloneAndNoTemporaryFile)
{
    m_dir.Write("keep/keep.xml", "precious");
    bool saved = false;
    {
        const CFileSizeLimit full(16);
        ASSERT_TRUE(full.IsSet());
        saved = CSaveCfg::GetInstance().SaveConfiguration(m_dir.File("keep/keep.xml"));
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ("precious", m_dir.Read("keep/keep.xml"));
    wxArrayString files;
    wxDir::GetAllFiles(m_dir.File("keep"), &files);
    EXPECT_EQ(1u, files.size()) << "a temporary file was left behind";

    CPageMntXmlInfo::GetInstance().Clear();
    EXPECT_FALSE(CSaveCfg::GetInstance().SaveConfiguration(m_dir.File("keep/keep.xml"))) << "no pages, nothing to save";
    EXPECT_EQ("precious", m_dir.Read("keep/keep.xml"));
}

}  // namespace

namespace {

// What may stand in a file as one setting: the name leads the text on the wire, so
// anything but six capitals or digits would carry another setting; a separator or line
// break may only stand in the lines of a data-format value.
TEST(FileSettingRules, NamesAndValuesThatWouldCarryAnotherSettingAreTold)
{
    const struct {
        const char* name;
        const char* value;
        bool wellFormedName;
        bool singleValue;
        bool query;
    } cases[] = {
        {"BEPLVL", "2", true, true, false},
        {"128MAX", "48", true, true, false},
        {"128MAX;BEPLVL", "2", false, true, false},
        {"BEPLV", "2", false, true, false},
        {"BEPLVLX", "2", false, true, false},
        {"beplvl", "2", false, true, false},
        {"BEP LV", "2", false, true, false},
        {"BEPLVL", "2;232BAD0", true, false, false},
        {"BEPLVL", "2\r\n", true, false, false},
        {"DFMZZZ", "1;BEPLVL2", true, false, false},
        {"DFMSET", "Data Format 0:0099999;", true, true, false},
        {"DFMSET", "Data Format 0:;\r\nData Format 1:;\r\nData Format 2:;\r\nData Format 3:;\r\n", true, true, false},
        {"DFMADD", "Data Format 1:A|B;\r\n", true, true, false},
        {"DFMSET", "Data Format 0:1;BEPLVL2;", true, false, false},
        {"DFMSET", "Data Format 0:1;\r\nBEPLVL2;", true, false, false},
        {"DFMSET", "Data Format 0:1", true, true, false},
        {"DFMSET", "Data Format X:1;", true, false, false},
        {"DFMSET", "Data Format 0:1\r;", true, false, false},
        {"BEPLVL", "*", true, true, true},
        {"BEPLVL", "&", true, true, true},
        {"BEPLVL", "^", true, true, true},
        {"BEPLVL", "**", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " = " + c.value);
        EXPECT_EQ(c.wellFormedName, CSaveCfg::IsWellFormedCommandName(c.name));
        EXPECT_EQ(c.singleValue, CSaveCfg::IsSingleSettingValue(c.name, c.value));
        EXPECT_EQ(c.query, CSaveCfg::IsQueryValue(c.value));
    }
}

}  // namespace
