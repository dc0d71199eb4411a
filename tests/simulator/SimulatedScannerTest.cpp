// The protocol engine: request frames in, reply frames out, byte for byte.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::string kHead = std::string("\x02\x01") + "0000";

class SimulatedScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scanner = FixtureScanner();
        ASSERT_TRUE(m_scanner);
    }

    // The single reply to `packed`, or "(none)".
    std::string Ask(const std::string& packed)
    {
        const std::vector<SSimReply> replies = m_scanner->Feed(Request(packed));
        return replies.size() == 1 ? replies[0].bytes : "(none)";
    }

    std::unique_ptr<CSimulatedScanner> m_scanner;
};

TEST_F(SimulatedScannerTest, IdentityQuery_AnswersSystemProductAndSerialInOneGroup)
{
    EXPECT_EQ(kHead + "@QRYSYSFirmware: V2.1\x06" ",PDNProduct Name: HBS-T100\r\n\x06" ",PSNSerial Number: SN0042\r\n\x06;\x03",
              Ask("@QRYSYS,PDN,PSN"));
    EXPECT_EQ(kHead + "@BASQSYKernel: V1.0.0\x06;BUFQRY1024\x06;QRYDCVDecoder: SIM-D1\x06;\x03",
              Ask("@BASQSY;BUFQRY;QRYDCV"));
}

TEST_F(SimulatedScannerTest, IdentityIsReadOnly)
{
    EXPECT_EQ(kHead + "@QRYPDNOTHER\x15;\x03", Ask("@QRYPDNOTHER"));
}

TEST_F(SimulatedScannerTest, WholeListQueries_AnswerEverySettingInFileOrderJoinedByGroup)
{
    EXPECT_EQ(kHead + "@232BAD4\x06,PAR0\x06;SCNMOD0\x06,TMO30\x06;PRESTR\x06,SUF\x06;TRMHEX0D\x06;\x03", Ask("@*"));
    EXPECT_EQ(kHead + "@232BAD4\x06,PAR0\x06;SCNMOD0\x06,TMO30\x06;PRESTR\x06,SUF\x06;TRMHEX0D\x06;\x03", Ask("@&"));
    EXPECT_EQ(kHead + "@232BAD0|1|4|8\x06,PAR0-2_0|1|2\x06;SCNMOD0|2|5-7\x06,TMO1-3600\x06;PRESTR0-10\x06,SUF\x06;"
                      "TRMHEX00-FF\x06;\x03",
              Ask("@^"));
}

TEST_F(SimulatedScannerTest, PerCommandQueries_AnswerCurrentDefaultAndRange)
{
    ASSERT_EQ(kHead + "@SCNTMO99\x06;\x03", Ask("@SCNTMO99"));
    EXPECT_EQ(kHead + "@SCNTMO99\x06;\x03", Ask("@SCNTMO*"));
    EXPECT_EQ(kHead + "@SCNTMO99\x06;\x03", Ask("@SCNTMO"));
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", Ask("@SCNTMO&"));
    EXPECT_EQ(kHead + "@SCNTMO1-3600\x06;\x03", Ask("@SCNTMO^"));
}

TEST_F(SimulatedScannerTest, SetWithAt_IsKeptOverAPowerCycle)
{
    ASSERT_EQ(kHead + "@SCNTMO120\x06;\x03", Ask("@SCNTMO120"));
    m_scanner->Restart();
    EXPECT_EQ(kHead + "@SCNTMO120\x06;\x03", Ask("@SCNTMO*"));
}

TEST_F(SimulatedScannerTest, SetWithHash_HoldsUntilAPowerCycle)
{
    ASSERT_EQ(kHead + "#SCNTMO120\x06;\x03", Ask("#SCNTMO120"));
    EXPECT_EQ(kHead + "@SCNTMO120\x06;\x03", Ask("@SCNTMO*"));
    m_scanner->Restart();
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", Ask("@SCNTMO*"));
}

TEST_F(SimulatedScannerTest, SetWithHash_FallsBackToTheLastKeptValue)
{
    Ask("@SCNTMO200");
    Ask("#SCNTMO5");
    m_scanner->Restart();
    EXPECT_EQ("200", m_scanner->CurrentValue("SCNTMO"));
}

TEST_F(SimulatedScannerTest, ValueOutsideRangeOrList_IsRefusedWithNakAndChangesNothing)
{
    EXPECT_EQ(kHead + "@SCNTMO0\x15;\x03", Ask("@SCNTMO0"));
    EXPECT_EQ(kHead + "@SCNTMO3601\x15;\x03", Ask("@SCNTMO3601"));
    EXPECT_EQ(kHead + "@SCNTMOabc\x15;\x03", Ask("@SCNTMOabc"));
    EXPECT_EQ("30", m_scanner->CurrentValue("SCNTMO"));
    EXPECT_EQ(kHead + "@232BAD5\x15;\x03", Ask("@232BAD5"));
    EXPECT_EQ(kHead + "@232PAR3\x15;\x03", Ask("@232PAR3"));
    EXPECT_EQ("4", m_scanner->CurrentValue("232BAD"));
}

TEST_F(SimulatedScannerTest, ValueInListOrListRange_IsAccepted)
{
    EXPECT_EQ(kHead + "@232BAD8\x06;\x03", Ask("@232BAD8"));
    EXPECT_EQ(kHead + "@SCNMOD6\x06;\x03", Ask("@SCNMOD6"));
    EXPECT_EQ(kHead + "@SCNMOD3\x15;\x03", Ask("@SCNMOD3"));
    EXPECT_EQ(kHead + "@SCNMOD2\x06;\x03", Ask("@SCNMOD2"));
}

TEST_F(SimulatedScannerTest, HexAndTextSettings_CheckDigitsAndLength)
{
    EXPECT_EQ(kHead + "@TRMHEXFF\x06;\x03", Ask("@TRMHEXFF"));
    EXPECT_EQ(kHead + "@TRMHEX1G\x15;\x03", Ask("@TRMHEX1G"));
    EXPECT_EQ(kHead + "@TRMHEX100\x15;\x03", Ask("@TRMHEX100"));
    EXPECT_EQ(kHead + "@PRESTRABCDEFGHIJ\x06;\x03", Ask("@PRESTRABCDEFGHIJ"));
    EXPECT_EQ(kHead + "@PRESTRABCDEFGHIJK\x15;\x03", Ask("@PRESTRABCDEFGHIJK"));
    EXPECT_EQ(kHead + "@PRESUFany text at all\x06;\x03", Ask("@PRESUFany text at all"));
}

TEST_F(SimulatedScannerTest, UnknownCommand_IsAnsweredWithEnq)
{
    EXPECT_EQ(kHead + "@XYZABC1\x05;\x03", Ask("@XYZABC1"));
    EXPECT_EQ(kHead + "@XY\x05;\x03", Ask("@XY"));
}

TEST_F(SimulatedScannerTest, SeveralCommands_AreAnsweredInOrderJoinedByGroup)
{
    EXPECT_EQ(kHead + "@232BAD8\x06,PAR1\x06;SCNTMO30\x06;XYZABC\x05;232PAR1\x06;\x03",
              Ask("@232BAD8,PAR1;SCNTMO*;XYZABC;232PAR*"));
    EXPECT_EQ(kHead + "@232BAD8\x06,PAR7\x15,XYZ\x05;\x03", Ask("@232BAD8,PAR7,XYZ"));
}

TEST_F(SimulatedScannerTest, ItemHoldingItsGroupName_IsWrittenInFullSoTheToolCanSplitIt)
{
    EXPECT_EQ(kHead + "@PRESTRab\x06;PRESUFPRE\x06;\x03", Ask("@PRESTRab,SUFPRE"));
}

TEST_F(SimulatedScannerTest, ValuesHoldingCommaOrSemicolon_StayWhole)
{
    EXPECT_EQ(kHead + "@PRESTRa,b\x06,SUFc;d\x06;\x03", Ask("@PRESTRa,b,SUFc;d"));
    EXPECT_EQ("a,b", m_scanner->CurrentValue("PRESTR"));
    EXPECT_EQ("c;d", m_scanner->CurrentValue("PRESUF"));
}

TEST_F(SimulatedScannerTest, BytesOutsideFrames_AreIgnored)
{
    const std::vector<SSimReply> replies =
        m_scanner->Feed(std::string("\xFF\x00noise~~\x01", 10) + "0000@SCN" + Request("@SCNTMO*") + "trailing~");
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[0].bytes);
}

TEST_F(SimulatedScannerTest, FrameSplitOverSeveralReads_IsAnsweredOnceComplete)
{
    EXPECT_TRUE(m_scanner->Feed(std::string("~")).empty());
    EXPECT_TRUE(m_scanner->Feed(std::string("\x01" "0000@SCNTMO*;")).empty());
    const std::vector<SSimReply> replies = m_scanner->Feed(std::string("\x03"));
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[0].bytes);
}

TEST_F(SimulatedScannerTest, MalformedFrames_GetNoReply)
{
    EXPECT_TRUE(m_scanner->Feed(std::string("~\x01" "0001@SCNTMO*;\x03")).empty());
    EXPECT_TRUE(m_scanner->Feed(std::string("~\x01" "0000!SCNTMO*;\x03")).empty());
    EXPECT_TRUE(m_scanner->Feed(std::string("~\x01" "00;\x03")).empty());
}

TEST_F(SimulatedScannerTest, RequestAtAnotherLineRate_IsNoise)
{
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

}  // namespace
