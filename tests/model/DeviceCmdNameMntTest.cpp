// What the model supports: reading its command file, the setters a connected device
// fills it through, and list expansion.
#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kModel[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DeviceConfiguration>
 <Command><CommandName>232BAD</CommandName><ControlType>COMBOBOX</ControlType><FriendlyText>Baud rate</FriendlyText>
  <langID>ID_BAUD</langID><SettingsList langID="ID_BAUD_LIST">0|1|2</SettingsList>
  <Default>4</Default><Minimum>0</Minimum><Maximum>8</Maximum></Command>
 <Note>not a command</Note>
 <Command><CommandName>CPRSET</CommandName><ControlType>HEXEDIT</ControlType><Default>first</Default><Default>second</Default>
  <CmdGetLen>16</CmdGetLen><SettingsList langID="ID_NOT_IN_TABLE">A|B</SettingsList></Command>
 <Command><CommandName>232BAD</CommandName><Default>9</Default></Command>
</DeviceConfiguration>
)";

class DeviceCmdNameMntTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_dir.Write("Config/Model.xml", kModel);
        m_dir.Write("Config/language.xml",
                    R"(<language><property name="EN" file="en.xml" help="h.html">English</property></language>)");
        m_dir.Write("Config/en.xml", R"(<language>
 <property name="ID_BAUD_LIST">0:9600|1:19200</property>
 <property name="ID_ON">Enable</property>
</language>)");
        ASSERT_TRUE(CLanguageXmlInfo::GetInstance().LoadLanguageList());
        ASSERT_TRUE(CLanguageXmlInfo::GetInstance().LoadLanguageTexts("EN"));
    }

    CDeviceCmdNameMntXmlInfo& Map() { return CDeviceCmdNameMntXmlInfo::GetInstance(); }

    CTempDir m_dir;
};

TEST_F(DeviceCmdNameMntTest, LoadReadsEveryFieldTheFirstCommandOfANameWinsAndABadFileChangesNothing)
{
    ASSERT_TRUE(Map().Load("Model.xml"));
    ASSERT_EQ(2u, Map().GetCount());
    const CDeviceCmdNameXmlInfo* baud = Map().Find("232BAD");
    ASSERT_NE(nullptr, baud);
    EXPECT_EQ("COMBOBOX", baud->ControlType);
    EXPECT_EQ("Baud rate", baud->FriendlyText);
    EXPECT_EQ("ID_BAUD", baud->langID);
    EXPECT_EQ("4", baud->Default);
    EXPECT_EQ("4", baud->CurrentValue);
    EXPECT_EQ("0", baud->Minimum);
    EXPECT_EQ("8", baud->Maximum);
    // The text table's list replaces the file's.
    EXPECT_EQ("ID_BAUD_LIST", baud->SettingsListLangId);
    EXPECT_EQ("0:9600|1:19200", baud->SettingsList);

    const CDeviceCmdNameXmlInfo* prefix = Map().Find("CPRSET");
    ASSERT_NE(nullptr, prefix);
    EXPECT_EQ("second", prefix->Default);
    EXPECT_EQ("16", prefix->CmdGetLen);
    EXPECT_EQ("A|B", prefix->SettingsList);  // no text for its identifier: the file's list stays
    EXPECT_EQ(nullptr, Map().Find("232bad"));

    // A file that cannot be used leaves the map as it was.
    m_dir.Write("Config/Wrong.xml", "<Commands><Command><CommandName>X</CommandName></Command></Commands>");
    m_dir.Write("Config/Cut.xml", "<DeviceConfiguration><Command>");
    EXPECT_FALSE(Map().Load("Wrong.xml"));
    EXPECT_FALSE(Map().Load("Cut.xml"));
    EXPECT_FALSE(Map().Load("Missing.xml"));
    EXPECT_EQ(2u, Map().GetCount());
    EXPECT_NE(nullptr, Map().Find("CPRSET"));
}

TEST_F(DeviceCmdNameMntTest, ADeviceFillsRecordsThroughTheSetters)
{
    Map().SetCurrentValue("SCNMOD", "2");
    Map().SetDefaultValue("SCNMOD", "0");
    const CDeviceCmdNameXmlInfo* mode = Map().Find("SCNMOD");
    ASSERT_NE(nullptr, mode);
    EXPECT_EQ("SCNMOD", mode->CommandName);
    EXPECT_EQ("2", mode->CurrentValue);
    EXPECT_EQ("0", mode->Default);

    // Range answers in turn to the same record: what each leaves in it.
    const struct {
        const char* range;
        const char* minimum;
        const char* maximum;
        const char* list;
        int withList;
    } answers[] = {
        {"0-255_10|20", "0", "255", "10|20", 1},
        {"1-30", "1", "30", "1-30", 0},
        {"-5", "1", "30", "-5", 0},  // no range dash: the limits stay
        {"3|1-2|7", "3", "7", "3|1|2|7", 0},
        {"9-1|", "3", "7", "9-1|", 0},  // a list without items is kept as it came
    };
    for (const auto& answer : answers) {
        Map().SetRange("SCNMOD", answer.range);
        EXPECT_EQ(answer.minimum, mode->Minimum) << answer.range;
        EXPECT_EQ(answer.maximum, mode->Maximum) << answer.range;
        EXPECT_EQ(answer.list, mode->SettingsList) << answer.range;
        EXPECT_EQ(answer.withList, mode->RangeWithList) << answer.range;
    }
    EXPECT_EQ(1u, Map().GetCount());
}

TEST_F(DeviceCmdNameMntTest, ExpandListExpandsRangesAndTranslatesKeys)
{
    struct Case {
        const char* list;
        const char* first;
        const char* last;
        const char* display;
    } cases[] = {
        {"1-3|7", "1", "7", "1|2|3|7"},
        {"ID_ON:1|ID_X:2", "ID_ON:1", "ID_X:2", "Enable:1|ID_X:2"},
        {"ID_ON(1)|0", "ID_ON(1)", "0", "Enable(1)|0"},
        {"a||b|", "a", "b", "a||b"},
        {"-2--1|x", "-2", "x", "-2|-1|x"},
        {"5-3|4", "4", "4", "4"},
        {"ab-cd", "0", "0", "0"},
    };
    for (const Case& c : cases) {
        wxString first, last, display;
        ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::ExpandList(c.list, first, last, display)) << c.list;
        EXPECT_EQ(c.first, first) << c.list;
        EXPECT_EQ(c.last, last) << c.list;
        EXPECT_EQ(c.display, display) << c.list;
    }
    wxString first = "kept", last = "kept", display = "kept";
    EXPECT_FALSE(CDeviceCmdNameMntXmlInfo::ExpandList("", first, last, display));
    EXPECT_FALSE(CDeviceCmdNameMntXmlInfo::ExpandList("9-1", first, last, display));
    EXPECT_EQ("kept", display);
}

// A broken or hostile scanner answers "@^" with 32 items "0-99999999|1" in 648
// bytes: each list is cut, so taking them cannot freeze the window (range_reply_bench
// measures how long it takes).
TEST_F(DeviceCmdNameMntTest, AReplyOfHugeRangesIsTakenAtOnceWithEachListCut)
{
    std::wstring reply = L"\x02\x01" L"0000@";
    for (int i = 0; i < 32; ++i)
        reply += wxString::Format("R%05d0-99999999|1\x06;", i).ToStdWstring();
    reply += L'\x03';
    ASSERT_EQ(648u, reply.size());

    std::vector<ReplyItem> items(1024);
    size_t count = 0;
    ASSERT_TRUE(CSaveCfg::ParseReply(reply.data(), reply.size(), items.data(), items.size(), count));
    for (size_t i = 0; i < count; ++i)
        Map().SetRange(items[i].command, items[i].value);
    ASSERT_EQ(32u, count);
    const CDeviceCmdNameXmlInfo* last = Map().Find("R00031");
    ASSERT_NE(nullptr, last);
    EXPECT_EQ("0", last->Minimum);
    EXPECT_EQ(wxString::Format("%u", static_cast<unsigned>(CDeviceCmdNameMntXmlInfo::kMaxListItems - 1)), last->Maximum);
    EXPECT_EQ(CDeviceCmdNameMntXmlInfo::kMaxListItems - 1, static_cast<size_t>(last->SettingsList.Freq('|')));
}

}  // namespace
