// The rules of the button, file and value-list controls: the file dialog filter,
// value lists, the code identifier table's pending state and the exchanges of a
// button whose command changes other settings in the scanner.
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "hbds/hbds.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ButtonRules.h"
#include "regCtrl/rules/CodeIdRules.h"

#include "support/LinkFixture.h"
#include "support/ScriptedScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Entries = std::vector<wxString>;

TEST(ButtonRules, FileFiltersEndWithAllFilesAndValueListsRefuseBlanksRepeatsAndBars)
{
    EXPECT_EQ("(*.wav)|*.wav|All Files (*.*)|*.*", BuildFileFilter("0:wav"));
    EXPECT_EQ("(*.otp)|*.otp|(*.xml)|*.xml|All Files (*.*)|*.*", BuildFileFilter("0:otp|1:xml"));
    EXPECT_EQ("(*.bin)|*.bin|All Files (*.*)|*.*", BuildFileFilter("bin||"));  // no labels: the values name them
    EXPECT_EQ("All Files (*.*)|*.*", BuildFileFilter(""));

    EXPECT_EQ("AB|/data/c d.otp", JoinListEntries({"AB", "/data/c d.otp"}));
    EXPECT_EQ((Entries{"AB", "CD"}), SplitListEntries("|AB||CD|"));
    EXPECT_TRUE(SplitListEntries("").empty());

    const Entries listed{"AB"};
    EXPECT_EQ("CD", AcceptableListEntry(listed, "  CD\t"));
    EXPECT_EQ("", AcceptableListEntry(listed, "AB"));
    EXPECT_EQ("", AcceptableListEntry(listed, "   "));
    EXPECT_EQ("", AcceptableListEntry(listed, "C|D"));  // would split into two entries

    EXPECT_EQ((Entries{"978", "12 34"}), ReadWhiteListText("978\r\n\r\n 12 34 \n978\n"));
}

class ButtonRulesCodeId : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_table.CommandName = "CIDTAB";
        m_table.ControlType = "CODEID";
        m_rows = BuildCodeIdRows("j:Code 128|d:EAN-13|D:EAN-8", "j|D");
    }
    void TearDown() override { CPendingChangeList::ResetInstance(); }

    bool Listed() const { return CPendingChangeList::GetInstance().IsListed(&m_table); }

    CCmdNameXmlInfo m_table;
    std::vector<SCodeIdRow> m_rows;
};

TEST_F(ButtonRulesCodeId, TheTableIsPendingWhileARowDiffersAndAStoredValueFillsRowsItFits)
{
    ASSERT_EQ(2u, m_rows.size());  // EAN-13 is not offered by the model
    EXPECT_EQ("EAN-8", m_rows[1].label);
    EXPECT_EQ("D", m_rows[1].text);

    m_rows[0].text = "J";
    CommitCodeIdRows(m_table, m_rows);
    m_rows[1].text = "8";
    CommitCodeIdRows(m_table, m_rows);
    EXPECT_TRUE(Listed());
    EXPECT_EQ("J|8", m_table.Value);
    EXPECT_EQ("Code 128: J, EAN-8: 8", m_table.ValueText);

    m_rows[0].text = "j";
    CommitCodeIdRows(m_table, m_rows);
    EXPECT_TRUE(Listed()) << "one row still differs";
    m_rows[1].text = "D";
    CommitCodeIdRows(m_table, m_rows);
    EXPECT_FALSE(Listed());
    EXPECT_EQ(m_table.DeviceValue, m_table.Value);

    // A stored table value fills the rows only when it fits them.
    TakeCodeIdValue(m_rows, "J|");
    EXPECT_EQ("J", m_rows[0].text);
    EXPECT_EQ("", m_rows[1].text);  // a cleared identifier stays cleared
    TakeCodeIdValue(m_rows, "J|8|X");
    EXPECT_EQ("j", m_rows[0].text);
    EXPECT_EQ("D", m_rows[1].text);
}

class ButtonRulesExchange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, OpenTestDevice(m_scanner.Path(), 115200, 150)); }
    void TearDown() override
    {
        CSaveCfg::ResetInstance();
        CHBDataStreamMnt::ResetInstance();
        hbds_clear_serial_paths();
    }
    CScriptedScanner m_scanner;
};

TEST_F(ButtonRulesExchange, RestoringDataFormatsReadsTheCurrentFormatsUnderTheDevicesCommand)
{
    CSaveCfg::GetInstance().SetDataFormatSet(true);
    m_scanner.Script({ReplyFrame("DFMDEF\x06"), ReplyFrame("DFMQCU0:F0ABC\x06")});
    RereadValues reread;
    ASSERT_TRUE(ExchangeButtonCommand("DFMDEF", reread));
    EXPECT_EQ((std::vector<std::string>{"~\x01" "0000@DFMDEF;\x03", "~\x01" "0000@DFMQCU;\x03"}), m_scanner.Requests());
    ASSERT_EQ(1u, reread.size());
    EXPECT_EQ("DFMSET", reread[0].first);
    EXPECT_EQ("0:F0ABC", reread[0].second);
}

TEST_F(ButtonRulesExchange, ARefusedCommandReReadsNothing)
{
    m_scanner.Script({ReplyFrame("CIDDEF\x15")});
    RereadValues reread{{"stale", "entry"}};
    EXPECT_FALSE(ExchangeButtonCommand("CIDDEF", reread));
    EXPECT_TRUE(reread.empty());
    EXPECT_EQ(1u, m_scanner.Requests().size());
    EXPECT_EQ(std::vector<wxString>{"CIDDEF"}, CSaveCfg::GetInstance().GetErrorList());
}

}  // namespace
