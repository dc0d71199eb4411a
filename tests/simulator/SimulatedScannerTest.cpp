// The protocol engine: request frames in, reply frames out, byte for byte; and what
// each injected fault does to the reply, and how faults are written.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class SimulatedScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scanner = FixtureScanner();
        ASSERT_TRUE(m_scanner);
    }

    std::unique_ptr<CSimulatedScanner> m_scanner;
};

// One rule of the protocol: requests sent in turn to a fresh scanner and the replies
// it must give, items as packed between the header "@" and the closing ";" 0x03.
TEST(SimulatedScannerRuleTest, AnswersEachRequestAsTheProtocolSays)
{
    const struct {
        const char* rule;
        std::vector<std::pair<std::string, std::string>> exchanges;
    } kRules[] = {
        {"IdentityQueryAnswersSystemProductAndSerialInOneGroup",
         {{"@QRYSYS,PDN,PSN", "@QRYSYSFirmware: V2.1\x06,PDNProduct Name: HBS-T100\r\n\x06,PSNSerial Number: SN0042\r\n\x06"},
          {"@BASQSY;BUFQRY;QRYDCV", "@BASQSYKernel: V1.0.0\x06;BUFQRY1024\x06;QRYDCVDecoder: SIM-D1\x06"}}},
        {"IdentityIsReadOnly",
         {{"@QRYPDNOTHER", "@QRYPDNOTHER\x15"}, {"@QRYPDN", "@QRYPDNProduct Name: HBS-T100\r\n\x06"}}},
        {"WholeListQueriesAnswerEverySettingInFileOrderJoinedByGroup",
         {{"@*", "@232BAD4\x06,PAR0\x06;SCNMOD0\x06,TMO30\x06;PRESTR\x06,SUF\x06;TRMHEX0D\x06"},
          {"@&", "@232BAD4\x06,PAR0\x06;SCNMOD0\x06,TMO30\x06;PRESTR\x06,SUF\x06;TRMHEX0D\x06"},
          {"@^", "@232BAD0|1|4|8\x06,PAR0-2_0|1|2\x06;SCNMOD0|2|5-7\x06,TMO1-3600\x06;PRESTR0-10\x06,SUF\x06;TRMHEX00-FF\x06"}}},
        {"PerCommandQueriesAnswerCurrentDefaultAndRange",
         {{"@SCNTMO99", "@SCNTMO99\x06"}, {"@SCNTMO*", "@SCNTMO99\x06"}, {"@SCNTMO", "@SCNTMO99\x06"},
          {"@SCNTMO&", "@SCNTMO30\x06"}, {"@SCNTMO^", "@SCNTMO1-3600\x06"}}},
        {"ValueOutsideRangeOrListIsRefusedWithNakAndChangesNothing",
         {{"@SCNTMO0", "@SCNTMO0\x15"}, {"@SCNTMO3601", "@SCNTMO3601\x15"}, {"@SCNTMOabc", "@SCNTMOabc\x15"},
          {"@232BAD5", "@232BAD5\x15"}, {"@232PAR3", "@232PAR3\x15"}, {"@SCNTMO*;232BAD*", "@SCNTMO30\x06;232BAD4\x06"}}},
        {"ValueInListOrListRangeIsAccepted",
         {{"@232BAD8", "@232BAD8\x06"}, {"@SCNMOD6", "@SCNMOD6\x06"}, {"@SCNMOD3", "@SCNMOD3\x15"}, {"@SCNMOD2", "@SCNMOD2\x06"}}},
        {"HexAndTextSettingsCheckDigitsAndLength",
         {{"@TRMHEXFF", "@TRMHEXFF\x06"}, {"@TRMHEX1G", "@TRMHEX1G\x15"}, {"@TRMHEX100", "@TRMHEX100\x15"},
          {"@PRESTRABCDEFGHIJ", "@PRESTRABCDEFGHIJ\x06"}, {"@PRESTRABCDEFGHIJK", "@PRESTRABCDEFGHIJK\x15"},
          {"@PRESUFany text at all", "@PRESUFany text at all\x06"}}},
        {"UnknownCommandIsAnsweredWithEnq", {{"@XYZABC1", "@XYZABC1\x05"}, {"@XY", "@XY\x05"}}},
        {"SeveralCommandsAreAnsweredInOrderJoinedByGroup",
         {{"@232BAD8,PAR1;SCNTMO*;XYZABC;232PAR*", "@232BAD8\x06,PAR1\x06;SCNTMO30\x06;XYZABC\x05;232PAR1\x06"},
          {"@232BAD8,PAR7,XYZ", "@232BAD8\x06,PAR7\x15,XYZ\x05"}}},
        {"AnItemHoldingItsGroupNameIsWrittenInFullSoTheToolCanSplitIt", {{"@PRESTRab,SUFPRE", "@PRESTRab\x06;PRESUFPRE\x06"}}},
        {"ValuesHoldingCommaOrSemicolonStayWhole",
         {{"@PRESTRa,b,SUFc;d", "@PRESTRa,b\x06,SUFc;d\x06"}, {"@PRESTR*;PRESUF*", "@PRESTRa,b\x06,SUFc;d\x06"}}},
    };
    for (const auto& [rule, exchanges] : kRules) {
        SCOPED_TRACE(rule);
        std::unique_ptr<CSimulatedScanner> scanner = FixtureScanner();
        ASSERT_TRUE(scanner);
        for (const auto& [request, items] : exchanges) {
            const std::vector<SSimReply> replies = scanner->Feed(Request(request));
            ASSERT_EQ(1u, replies.size()) << request;
            EXPECT_EQ(kHead + items + ";\x03", replies[0].bytes) << request;
        }
    }
}

// Only a whole, well-formed frame at the scanner's line rate is answered: bytes around
// it are ignored, a frame split over reads is answered once complete.
TEST_F(SimulatedScannerTest, OnlyWholeFramesAtTheLineRateAreAnswered)
{
    for (const char* malformed : {"~\x01" "0001@SCNTMO*;\x03", "~\x01" "0000!SCNTMO*;\x03", "~\x01" "00;\x03"})
        EXPECT_TRUE(m_scanner->Feed(std::string(malformed)).empty()) << malformed;
    EXPECT_TRUE(m_scanner->Feed(std::string("~")).empty());
    EXPECT_TRUE(m_scanner->Feed(std::string("\x01" "0000@SCNTMO*;")).empty());
    std::vector<SSimReply> replies = m_scanner->Feed(std::string("\x03") + std::string("\xFF\x00noise~~\x01", 10) +
                                                     "0000@SCN" + Request("@SCNTMO*") + "trailing~");
    ASSERT_EQ(2u, replies.size());
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[0].bytes);
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[1].bytes);
    m_scanner->SetLineRate(115200);
    EXPECT_TRUE(m_scanner->Feed(Request("@SCNTMO*")).empty());
    m_scanner->SetLineRate(9600);
    EXPECT_EQ(1u, m_scanner->Feed(Request("@SCNTMO*")).size());
}

TEST_F(SimulatedScannerTest, RandomBytes_NeitherCrashNorBlockTheNextRequest)
{
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 200000; ++i) {
        // Mostly frame characters, so that many half-frames and odd commands form.
        static const char kAlphabet[] = "~\x01\x03;,@#*&^0SCNTMO232BADPARXYZ";
        noise += kAlphabet[random() % (sizeof kAlphabet - 1)];
    }
    m_scanner->Feed(noise);
    const std::vector<SSimReply> replies = m_scanner->Feed(Request("@SCNMOD*"));
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(kHead + "@SCNMOD" + m_scanner->CurrentValue("SCNMOD") + "\x06;\x03", replies.back().bytes);
}

const std::string kGarbage("\xFF\x00\x13\x7E\x55\xAA", 6);

// Every fault, written as on the command line, shapes the reply to a request, changes
// nothing in the scanner and goes away when cleared.
TEST(SimulatedScannerFaultTest, ShapesTheReplyAndLeavesWhenCleared)
{
    const struct {
        const char* fault;
        const char* request;
        bool replied;
        std::string bytes;
        bool disconnect;
        int delayMs;
        int byteGapMs;
    } cases[] = {
        {"silence", "@SCNTMO*", false, "", false, 0, 0},
        {"nak:SCNTMO", "@SCNTMO99;232BAD8", true, kHead + "@SCNTMO99\x15;232BAD8\x06;\x03", false, 0, 0},
        {"enq:QRYPDN", "@QRYPDN", true, kHead + "@QRYPDN\x05;\x03", false, 0, 0},
        {"garbage", "@SCNTMO*", true, kGarbage + kHead + "@SCNTMO30\x06;\x03", false, 0, 0},
        {"garbage:instead", "@SCNTMO*", true, kGarbage, false, 0, 0},
        {"cut:9", "@SCNTMO*", true, kHead + "@SC", false, 0, 0},
        {"cut:0", "@SCNTMO*", true, "", false, 0, 0},
        {"disconnect:4", "@SCNTMO*", true, "\x02\x01" "00", true, 0, 0},
        {"disconnect:4:1", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 0, 0},
        {"slow:100", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 100, 0},
        {"slow:250:3", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 250, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        std::unique_ptr<CSimulatedScanner> scanner = FixtureScanner();
        ASSERT_TRUE(scanner);
        SSimFaultPlan plan;
        ASSERT_TRUE(plan.Add(c.fault));
        scanner->Faults().Set(plan);
        const std::vector<SSimReply> replies = scanner->Feed(Request(c.request));
        ASSERT_EQ(c.replied ? 1u : 0u, replies.size());
        if (c.replied) {
            EXPECT_EQ(c.bytes, replies[0].bytes);
            EXPECT_EQ(c.disconnect, replies[0].disconnect);
            EXPECT_EQ(c.delayMs, replies[0].delayMs);
            EXPECT_EQ(c.byteGapMs, replies[0].byteGapMs);
        }
        scanner->Faults().Clear();
        const std::vector<SSimReply> healthy = scanner->Feed(Request("@SCNTMO*"));
        ASSERT_EQ(1u, healthy.size());
        EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", healthy[0].bytes);
    }
}

TEST(SimFaultPlanTest, Add_RefusesMalformedFaults)
{
    SSimFaultPlan plan;
    for (const char* bad : {"", "silence:1", "garbage:after", "cut", "cut:", "cut:-1", "cut:x", "slow:1:2:3",
                            "slow:", "disconnect:1:x", "disconnect:1:2:3", "nak:", "nak:TOOLONGNAME", "enq:ABC", "explode"})
        EXPECT_FALSE(plan.Add(bad)) << bad;
}

}  // namespace
