// Command definitions: resolving a page's setting against the model, labels and
// hints, and how value changes reach the pending-change list.
#include "model/CmdNameXmlInfo.h"

#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/RecordingControlFactory.h"
#include "support/ScriptedScanner.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>
#include <wx/sstream.h>
#include <wx/xml/xml.h>

#include <memory>

namespace {

class CmdNameXmlInfoTest : public CCoreTest {
protected:
    void SetUp() override { SetControlFactory(&m_factory); }
    void TearDown() override
    {
        m_definitions.clear();
        CCoreTest::TearDown();
    }

    // A model record as a command file or a device gives it.
    CDeviceCmdNameXmlInfo& Model(const wxString& name, const wxString& current, const wxString& list = "",
                                 const wxString& minimum = "", const wxString& maximum = "")
    {
        CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
        map.SetCurrentValue(name, current);
        map.SetDefaultValue(name, current);
        CDeviceCmdNameXmlInfo& record = *map.Find(name);
        record.SettingsList = list;
        record.Minimum = minimum;
        record.Maximum = maximum;
        return record;
    }

    // Parses `<Command>` + elements + `</Command>`; null when the definition is dropped.
    CCmdNameXmlInfo* Parse(const std::string& elements)
    {
        wxXmlDocument document;
        wxStringInputStream input(wxString::FromUTF8("<Command>" + elements + "</Command>"));
        EXPECT_TRUE(document.Load(input, "UTF-8"));
        auto definition = std::make_unique<CCmdNameXmlInfo>();
        if (!definition->ParseCommand(document.GetRoot()->GetChildren())) {
            m_lastSupported = definition->Supported;
            return nullptr;
        }
        m_definitions.push_back(std::move(definition));
        return m_definitions.back().get();
    }

    static std::string Element(const std::string& name, const std::string& keyword)
    {
        return "<CommandName>" + name + "</CommandName><ControlType>" + keyword + "</ControlType>";
    }

    CPendingChangeList& Changes() { return CPendingChangeList::GetInstance(); }

    CRecordingFactory m_factory;
    std::vector<std::unique_ptr<CCmdNameXmlInfo>> m_definitions;
    int m_lastSupported = -1;
};

TEST_F(CmdNameXmlInfoTest, AListSettingIsResolvedAgainstTheModelAndTheRecordKeepsTheExpansion)
{
    CDeviceCmdNameXmlInfo& record = Model("SCNMOD", "2", "0-2|5");
    record.CmdGetLen = "12";
    CCmdNameXmlInfo* mode = Parse(Element("SCNMOD", "COMBOBOX") +
                                  "<FriendlyText>Scan mode</FriendlyText><CmdGetLen>PAGE</CmdGetLen>"
                                  "<SettingsList>0:Level|1:Pulse|2:Sense|5:Auto</SettingsList>");
    ASSERT_NE(nullptr, mode);
    EXPECT_EQ(1, mode->Supported);
    EXPECT_EQ("0|1|2|5", record.SettingsList);
    EXPECT_EQ("0", record.Minimum);
    EXPECT_EQ("5", record.Maximum);
    EXPECT_EQ(0, mode->Minimum);
    EXPECT_EQ(5, mode->Maximum);
    EXPECT_EQ("0|1|2|5", mode->DeviceSettingsList);
    EXPECT_EQ("12", mode->CmdGetLen);  // offline the model file's length replaces the page's
    EXPECT_EQ("2", mode->Value);
    EXPECT_EQ("2", mode->DeviceValue);
    EXPECT_EQ("2", mode->LoadedValue);
    EXPECT_EQ("Sense", mode->DefaultText);
    EXPECT_EQ("Default: Sense (2) ", mode->GetDefaultText(false, 0));  // the caption, then the raw value
    EXPECT_EQ("Scan mode", mode->GetFriendlyText());

    EXPECT_EQ(nullptr, Parse(Element("NOTHER", "EDIT")));
    EXPECT_EQ(0, m_lastSupported);
}

TEST_F(CmdNameXmlInfoTest, HexLimitsAreWholeBytesAndShowInTheHintAndKeywordsSetTheirOwnDefaults)
{
    CDeviceCmdNameXmlInfo& record = Model("PRESET", "0A", "", "A ", "FFF");
    CCmdNameXmlInfo* prefix = Parse(Element("PRESET", "HEXEDIT"));
    ASSERT_NE(nullptr, prefix);
    EXPECT_EQ("0A", prefix->HexMinimum);
    EXPECT_EQ("0FFF", prefix->HexMaximum);
    EXPECT_EQ("0FFF", record.Maximum);
    EXPECT_EQ(wxString::FromUTF8("Default: 0A  范围: 0A-0FFF 字符长度: 4"), prefix->GetDefaultText(true, 4));
    EXPECT_EQ("Default: 0A ", prefix->GetDefaultText(false, 4));

    Model("SUFSET", "", "", "7", "7");
    CCmdNameXmlInfo* suffix = Parse(Element("SUFSET", "HEXEDIT"));
    ASSERT_NE(nullptr, suffix);
    EXPECT_EQ(wxString::FromUTF8("Default: 未设置 "), suffix->GetDefaultText(true, 0));

    Model("SCNTMO", "5", "", "5", "5");
    CCmdNameXmlInfo* timeout = Parse(Element("SCNTMO", "EDIT"));
    ASSERT_NE(nullptr, timeout);
    EXPECT_EQ("Default: 5 ", timeout->GetDefaultText(true, 0));
    timeout->Maximum = 60;
    EXPECT_EQ("Default: 5  Range: 5-60", timeout->GetDefaultText(true, 9));

    // A licence and a data format start empty; a date starts as today.
    CDeviceCmdNameXmlInfo& licence = Model("LICKEY", "ABCD");
    CDeviceCmdNameXmlInfo& formats = Model("DFMSET", "Data Format 0:x;");
    CDeviceCmdNameXmlInfo& date = Model("RTCDAT", "1999-01-01");
    ASSERT_NE(nullptr, Parse(Element("LICKEY", "LICENSECODE")));
    ASSERT_NE(nullptr, Parse(Element("DFMSET", "DATAFORMAT")));
    CCmdNameXmlInfo* clock = Parse(Element("RTCDAT", "DATATIME"));
    ASSERT_NE(nullptr, clock);
    EXPECT_EQ("", licence.Default);
    EXPECT_EQ("", licence.CurrentValue);
    EXPECT_EQ("", formats.CurrentValue);
    const wxString today = wxDateTime::Now().Format("%Y-%m-%d");
    EXPECT_EQ(today, date.Default);
    EXPECT_EQ(today, clock->Value);
    EXPECT_EQ(today, clock->Default);
}

TEST_F(CmdNameXmlInfoTest, LabelsComeFromEitherListSyntax)
{
    const struct {
        const char* keyword;
        const char* list;
        const char* value;
        const char* label;
    } cases[] = {
        {"COMBOBOX", "0:Off|1:On|10:Ten", "1", "On"},       {"COMBOBOX", "0:Off|1:On|10:Ten", "10", "Ten"},
        {"COMBOBOX", "0:Off|1:On|10:Ten", "7", "7"},        {"COMBOBOX", "13:1200|3:9600", "3", "9600"},
        {"COMBOBOX", "0:Off|10:Ten", "0", "Off"},           {"COMBOBOXCUSTOM", "Off:0 |On:1|", "0", "Off"},
        {"COMBOBOXCUSTOM", "Off:0 |On:1|", "1", "On"},
        {"COMBOBOXCUSTOM", "Off:0|On:1", "1", "1"},  // the last item needs its closing bar
        {"EDIT", "1:One", "1", "1"},
    };
    for (const auto& c : cases) {
        CCmdNameXmlInfo definition;
        definition.ControlType = c.keyword;
        definition.SettingsList = c.list;
        EXPECT_EQ(c.label, definition.GetValueLabel(c.value)) << c.keyword << " " << c.list << " " << c.value;
    }
}

TEST_F(CmdNameXmlInfoTest, WhatIsSavedAndWhatIsTransferred)
{
    struct Case {
        const char* keyword;
        bool saved;
        bool transferred;
    } cases[] = {{"COMBOBOX", true, true},   {"HEXEDIT", true, true},    {"BUTTONGROUP", true, false},
                 {"CODEID", true, false},    {"MULVALUE", true, false},  {"DEFCMD", false, false},
                 {"GROUPNAME", false, false}, {"BATCHDATADLG", false, false}, {"UNKNOWNKIND", true, true}};
    for (const Case& c : cases) {
        CCmdNameXmlInfo definition;
        definition.ControlType = c.keyword;
        EXPECT_EQ(c.saved, definition.IsSavedControl()) << c.keyword;
        EXPECT_EQ(c.transferred, definition.IsTransferredControl()) << c.keyword;
    }
}

TEST_F(CmdNameXmlInfoTest, ValueChangesKeepThePendingListInStep)
{
    Model("BEPLVL", "2", "0|1|2");
    CCmdNameXmlInfo* volume = Parse(Element("BEPLVL", "COMBOBOX") + "<SettingsList>0:Low|1:Mid|2:High</SettingsList>");
    ASSERT_NE(nullptr, volume);
    const wxString shown = "Mid";
    volume->SetValue("1", &shown);
    volume->SetValue("1");
    EXPECT_EQ("1", volume->ValueText);
    ASSERT_EQ(1u, Changes().GetEntries().size());
    EXPECT_EQ(std::vector<wxString>{"BEPLVL"}, Changes().GetNames());

    volume->SetValue("2");
    EXPECT_TRUE(Changes().GetEntries().empty());
    EXPECT_TRUE(Changes().GetNames().empty());

    volume->SetValue("0");
    volume->CreateControl(nullptr, nullptr, SControlRect());
    EXPECT_EQ(1, volume->ResetToDefault());
    EXPECT_EQ("2", volume->Value);
    EXPECT_TRUE(Changes().GetEntries().empty());
    EXPECT_EQ(std::vector<int>{1}, m_factory.refreshModes);

    volume->SetDefault("0");
    volume->DeviceValue = "1";
    EXPECT_EQ(1, volume->ResetToDefault());
    EXPECT_EQ("High", volume->ValueText);  // the label of the default the definition was built with
    EXPECT_EQ(1u, Changes().GetEntries().size());

    m_definitions.clear();  // a definition that goes away leaves the list
    EXPECT_TRUE(Changes().GetEntries().empty());
    EXPECT_EQ(1, m_factory.destroyed);
}

TEST_F(CmdNameXmlInfoTest, OnlySettingsWithADefaultOrTheCustomAffixesCanBeReset)
{
    const struct {
        const char* name;
        const char* keyword;
        const char* defaultValue;
        int reset;
        const char* valueAfter;
        size_t pending;
    } cases[] = {{"CPRSET", "EDIT", "", 1, "", 1}, {"PRESET", "", "", 0, "X", 0}, {"FACDEF", "DEFCMD", "1", 0, "X", 0}};
    for (const auto& c : cases) {
        CCmdNameXmlInfo setting;
        setting.CommandName = c.name;
        setting.ControlType = c.keyword;
        setting.Default = c.defaultValue;
        setting.DeviceValue = setting.Value = "X";
        EXPECT_EQ(c.reset, setting.ResetToDefault()) << c.name;
        EXPECT_EQ(c.valueAfter, setting.Value) << c.name;
        EXPECT_EQ(c.pending, Changes().GetEntries().size()) << c.name;
        Changes().ClearChanges();
    }
}

TEST_F(CmdNameXmlInfoTest, AnEmptyDataFormatStandsForTheFourEmptyFormats)
{
    CCmdNameXmlInfo formats;
    formats.CommandName = "DFMSET";
    formats.ControlType = "DATAFORMAT";
    formats.SetDataFormatValue("", "");
    EXPECT_EQ(CCmdNameXmlInfo::kEmptyDataFormat, formats.Value);
    EXPECT_EQ("", formats.DeviceValue);  // offline the device value stays as it was
    EXPECT_TRUE(Changes().GetEntries().empty());

    formats.SetDataFormatValue("Data Format 0:A;", "");
    EXPECT_EQ(1u, Changes().GetEntries().size());
    // Unchanged against the reference: not pending.
    formats.SetDataFormatValue("Data Format 0:A;", CCmdNameXmlInfo::kEmptyDataFormat);
    EXPECT_TRUE(Changes().GetEntries().empty());

    CSaveCfg::GetInstance().SetOnline(true);
    formats.SetDataFormatValue("", "x");
    EXPECT_EQ(CCmdNameXmlInfo::kEmptyDataFormat, formats.DeviceValue);
    EXPECT_EQ(CCmdNameXmlInfo::kEmptyDataFormat, formats.Value);
}

TEST_F(CmdNameXmlInfoTest, OnlineARangeEditAsksTheDeviceAndTheFirstFailureStopsTheBuild)
{
    CScriptedScanner scanner;
    GoOnline(scanner.Path());
    Model("SCNTMO", "", "", "1", "3600");
    Model("SCNDLY", "", "", "0", "99");
    scanner.Script({ReplyFrame("SCNTMO30\x06"), ReplyFrame("SCNTMO10\x06"), ReplyFrame("SCNDLY5\x06"),
                    ReplyFrame("SCNDLYoops\x06")});

    CCmdNameXmlInfo* timeout = Parse(Element("SCNTMO", "RANGEEDIT"));
    ASSERT_NE(nullptr, timeout);
    EXPECT_EQ("30", CDeviceCmdNameMntXmlInfo::GetInstance().Find("SCNTMO")->CurrentValue);
    EXPECT_EQ("10", CDeviceCmdNameMntXmlInfo::GetInstance().Find("SCNTMO")->Default);
    // The default query sets the definition's default, device value and value alike.
    EXPECT_EQ("10", timeout->Value);
    EXPECT_EQ("10", timeout->DeviceValue);
    EXPECT_EQ("10", timeout->Default);

    EXPECT_EQ(nullptr, Parse(Element("SCNDLY", "RANGEEDIT")));
    EXPECT_EQ(std::vector<wxString>{"SCNDLY"}, CSaveCfg::GetInstance().GetFailedQueries());
    const size_t sent = scanner.Requests().size();
    EXPECT_EQ(4u, sent);
    EXPECT_EQ(std::string("~\x01" "0000@SCNDLY&;\x03"), scanner.Requests().back());

    Model("BEPLVL", "1", "0|1");
    EXPECT_EQ(nullptr, Parse(Element("BEPLVL", "COMBOBOX")));
    EXPECT_EQ(sent, scanner.Requests().size());
}

}  // namespace
