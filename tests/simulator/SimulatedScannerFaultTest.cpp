// Fault injection: what each fault does to the reply, and how faults are written.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kHead = std::string("\x02\x01") + "0000";

class SimulatedScannerFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scanner = FixtureScanner();
        ASSERT_TRUE(m_scanner);
    }

    void SetFault(const std::string& option)
    {
        SSimFaultPlan plan;
        ASSERT_TRUE(plan.Add(option)) << option;
        m_scanner->Faults().Set(plan);
    }

    std::vector<SSimReply> Ask(const std::string& packed) { return m_scanner->Feed(Request(packed)); }

    std::unique_ptr<CSimulatedScanner> m_scanner;
};

TEST_F(SimulatedScannerFaultTest, Silence_AnswersNothingUntilCleared)
{
    SetFault("silence");
    EXPECT_TRUE(Ask("@SCNTMO*").empty());
    m_scanner->Faults().Clear();
    EXPECT_EQ(1u, Ask("@SCNTMO*").size());
}

TEST_F(SimulatedScannerFaultTest, NakForACommand_RefusesItAloneAndChangesNothing)
{
    SetFault("nak:SCNTMO");
    const std::vector<SSimReply> replies = Ask("@SCNTMO99;232BAD8");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(kHead + "@SCNTMO99\x15;232BAD8\x06;\x03", replies[0].bytes);
    EXPECT_EQ("30", m_scanner->CurrentValue("SCNTMO"));
}

TEST_F(SimulatedScannerFaultTest, EnqForACommand_AnswersAsIfUnknown)
{
    SetFault("enq:QRYPDN");
    const std::vector<SSimReply> replies = Ask("@QRYPDN");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(kHead + "@QRYPDN\x05;\x03", replies[0].bytes);
}

TEST_F(SimulatedScannerFaultTest, Garbage_ComesBeforeOrInsteadOfTheReply)
{
    const std::string garbage("\xFF\x00\x13\x7E\x55\xAA", 6);
    SetFault("garbage");
    std::vector<SSimReply> replies = Ask("@SCNTMO*");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(garbage + kHead + "@SCNTMO30\x06;\x03", replies[0].bytes);
    SetFault("garbage:instead");
    replies = Ask("@SCNTMO*");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(garbage, replies[0].bytes);
}

TEST_F(SimulatedScannerFaultTest, Cut_EndsTheReplyAfterNBytes)
{
    SetFault("cut:9");
    const std::vector<SSimReply> replies = Ask("@SCNTMO*");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(kHead + "@SC", replies[0].bytes);
    EXPECT_FALSE(replies[0].disconnect);
}

TEST_F(SimulatedScannerFaultTest, Disconnect_DropsTheLinkAfterNBytes)
{
    SetFault("disconnect:4");
    const std::vector<SSimReply> replies = Ask("@SCNTMO*");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(std::string("\x02\x01") + "00", replies[0].bytes);
    EXPECT_TRUE(replies[0].disconnect);
}

TEST_F(SimulatedScannerFaultTest, Slow_DelaysTheReplyAndSpacesItsBytes)
{
    SetFault("slow:250:3");
    const std::vector<SSimReply> replies = Ask("@SCNTMO*");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(250, replies[0].delayMs);
    EXPECT_EQ(3, replies[0].byteGapMs);
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[0].bytes);
}

TEST(SimFaultPlanTest, Add_AcceptsEveryWrittenFault)
{
    SSimFaultPlan plan;
    EXPECT_TRUE(plan.Add("silence"));
    EXPECT_TRUE(plan.Add("cut:0"));
    EXPECT_TRUE(plan.Add("disconnect:12"));
    EXPECT_TRUE(plan.Add("slow:100"));
    EXPECT_TRUE(plan.Add("nak:232BAD"));
    EXPECT_TRUE(plan.Add("enq:QRYPSN"));
    EXPECT_TRUE(plan.silence);
    EXPECT_EQ(0, plan.cutAfter);
    EXPECT_EQ(12, plan.disconnectAfter);
    EXPECT_EQ(100, plan.delayMs);
    EXPECT_EQ(0, plan.byteGapMs);
    EXPECT_EQ(1u, plan.nakCommands.count("232BAD"));
    EXPECT_EQ(1u, plan.enqCommands.count("QRYPSN"));
}

TEST(SimFaultPlanTest, Add_RefusesMalformedFaults)
{
    SSimFaultPlan plan;
    for (const char* bad : {"", "silence:1", "garbage:after", "cut", "cut:", "cut:-1", "cut:x", "slow:1:2:3",
                            "slow:", "nak:", "nak:TOOLONGNAME", "enq:ABC", "explode"})
        EXPECT_FALSE(plan.Add(bad)) << bad;
}

}  // namespace
