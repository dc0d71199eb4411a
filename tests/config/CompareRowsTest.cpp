// Which settings a comparison lists beside which reference, and what clone takes over.
#include "config/CompareRows.h"

#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const char kModel[] = "<DeviceConfiguration>"
                      "<Command><CommandName>BEPENA</CommandName><SettingsList>0:Off|1:On</SettingsList>"
                      "<Default>1</Default></Command>"
                      "<Command><CommandName>SCNMOD</CommandName><SettingsList>0:Level|2:Sense</SettingsList>"
                      "<Default>0</Default></Command>"
                      "<Command><CommandName>CPRSET</CommandName><Default></Default></Command>"
                      "<Command><CommandName>DLPCLR</CommandName><Default></Default></Command>"
                      "</DeviceConfiguration>";
const char kPages[] = "<Pages><Page><Value>One</Value><GroupName><Value>G</Value>"
                      "<Command><CommandName>SCNMOD</CommandName><ControlType>COMBOBOX</ControlType>"
                      "<SettingsList>0:Level|2:Sense</SettingsList></Command>"
                      "<Command><CommandName>BEPENA</CommandName><ControlType>COMBOBOX</ControlType>"
                      "<SettingsList>0:Off|1:On</SettingsList></Command>"
                      "<Command><CommandName>CPRSET</CommandName><ControlType>EDIT</ControlType></Command>"
                      "<Command><CommandName>DLPCLR</CommandName><ControlType>BUTTON</ControlType></Command>"
                      "</GroupName></Page></Pages>";

class CompareRowsTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_dir.Write("Config/M.xml", kModel);
        m_dir.Write("Config/pageinfo.xml", kPages);
        ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::GetInstance().Load("M.xml"));
        ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
    }

    static CCmdNameXmlInfo& Setting(const char* name) { return *CPageMntXmlInfo::GetInstance().FindCommand(name); }

    // "name reference current =|≠" per row.
    static std::vector<std::string> Shown(const std::vector<SCompareRow>& rows)
    {
        std::vector<std::string> shown;
        for (const SCompareRow& row : rows)
            shown.push_back(std::string((row.setting->CommandName + " " + row.reference + " " + row.current +
                                         (row.absent ? " absent" : row.equal ? " =" : " !="))
                                            .utf8_str()));
        return shown;
    }

    CTempDir m_dir;
};

TEST_F(CompareRowsTest, DefaultsAndAFileListSettingsByTheTwoBoxesWithLabelsNullAndWhatTheFileLacks)
{
    Setting("BEPENA").SetValue("0");
    using Rows = std::vector<std::string>;
    EXPECT_EQ(Rows(), Shown(CompareWithDefaults(false, false)));
    EXPECT_EQ(Rows({"BEPENA On Off !="}), Shown(CompareWithDefaults(true, false)));
    EXPECT_EQ(Rows({"SCNMOD Level Level =", "CPRSET NULL NULL ="}), Shown(CompareWithDefaults(false, true)));
    EXPECT_EQ(Rows({"SCNMOD Level Level =", "BEPENA On Off !=", "CPRSET NULL NULL ="}),
              Shown(CompareWithDefaults(true, true)));

    // A setting the file does not carry is no difference: a file this program saved
    // leaves some out. It follows the differences, said to be missing.
    Setting("BEPENA").SetValue("1");
    const CompareFileValues file = {{"SCNMOD", "2"}, {"BEPENA", "1"}, {"OTHERX", "5"}};
    const std::string missing = "文件中没有";  // the built-in text; no text table is loaded
    EXPECT_EQ(Rows({"SCNMOD Sense Level !=", "CPRSET " + missing + " NULL absent"}),
              Shown(CompareWithFile(file, true, false)));
    EXPECT_EQ(Rows({"BEPENA On On ="}), Shown(CompareWithFile(file, false, true)));
}

TEST_F(CompareRowsTest, CloneTakesOnlyDifferingTickedValuesAsPendingChanges)
{
    CPendingChangeList& pending = CPendingChangeList::GetInstance();
    const CompareFileValues file = {{"SCNMOD", "2"}, {"BEPENA", "1"}};
    EXPECT_EQ(0, CloneFromFile({}, file));
    EXPECT_EQ(0, CloneDefaults({}));
    EXPECT_TRUE(pending.GetEntries().empty());

    EXPECT_EQ(1, CloneFromFile({&Setting("SCNMOD"), &Setting("BEPENA"), &Setting("CPRSET")}, file));
    EXPECT_EQ("2", Setting("SCNMOD").Value);
    EXPECT_EQ("Sense", Setting("SCNMOD").ValueText);
    EXPECT_TRUE(pending.IsListed(&Setting("SCNMOD")));
    EXPECT_FALSE(pending.IsListed(&Setting("BEPENA")));

    EXPECT_EQ(1, CloneDefaults({&Setting("SCNMOD"), &Setting("BEPENA")}));
    EXPECT_EQ("0", Setting("SCNMOD").Value);
    EXPECT_FALSE(pending.IsListed(&Setting("SCNMOD")));
}

TEST(CompareFileTest, IsReadByNameFromEitherRootOrLeftEmpty)
{
    const struct {
        const char* why;
        const char* content;  // null: no file
        size_t values;
    } cases[] = {
        {"old root, another model", "<Vastrel DeviceType=\"X\"><Command CommandName=\"A\" Value=\"1\"/>"
                                    "<Command CommandName=\"A\" Value=\"2\"/><Other/></Vastrel>", 1},
        {"current root", "<Vostrel><Command CommandName=\"A\" Value=\"\"/>"
                         "<Command CommandName=\"B\" Value=\"x\"/></Vostrel>", 2},
        {"wrong root", "<Pages><Command CommandName=\"A\" Value=\"1\"/></Pages>", 0},
        {"no children", "<Vostrel/>", 0},
        {"broken", "<Vostrel><Command", 0},
        {"missing", nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CTempDir dir;
        if (c.content)
            dir.Write("f.xml", c.content);
        CompareFileValues values = {{"STALE1", "1"}};
        EXPECT_EQ(c.values > 0, ReadCompareFile(dir.File("f.xml"), values));
        EXPECT_EQ(c.values, values.size());
    }
}

}  // namespace
