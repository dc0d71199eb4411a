// What connecting to a scanner fills in: the command map, the engine's frame size,
// setup command and data-format state, the device command list and the -File copy.
#include "config/ConnectSequence.h"
#include "device/DeviceEntry.h"
#include "simulator/PtyScanner.h"

#include "support/CoreTest.h"
#include "support/ScriptedScanner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ModelFile(bool withDataFormat)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceConfiguration>\n"
                       " <Command><CommandName>SCNMOD</CommandName><SettingsList>0|2|4</SettingsList><Default>0</Default></Command>\n"
                       " <Command><CommandName>SCNTMO</CommandName><Default>3000</Default><Minimum>100</Minimum>"
                       "<Maximum>9000</Maximum></Command>\n"
                       " <Command><CommandName>SETUPN</CommandName><Default>0</Default></Command>\n";
    if (withDataFormat)
        text += " <Command><CommandName>DFMSET</CommandName><Default>0</Default></Command>\n"
                " <Command><CommandName>DFMQCU</CommandName><Default>Data Format 0:0099999;</Default></Command>\n"
                " <Command><CommandName>DFMQFA</CommandName><Default>Data Format 0:0000000;</Default></Command>\n";
    return text + "</DeviceConfiguration>\n";
}

class ConnectSequenceTest : public CCoreTest {
protected:

    DeviceEntry* StartScanner(bool withDataFormat, uint32_t bufferSize = 512)
    {
        m_dir.Write("model.xml", ModelFile(withDataFormat));
        SSimScannerProfile profile;
        profile.baudRate = 115200;
        profile.bufferSize = bufferSize;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(std::string(m_dir.File("model.xml").utf8_str()), profile, error);
        EXPECT_TRUE(scanner) << error;
        if (!scanner)
            return nullptr;
        m_scanner = std::make_unique<CPtyScanner>(std::move(scanner));
        EXPECT_TRUE(m_scanner->Start(error)) << error;
        CHBDataStreamMnt::GetInstance().SetReadTimeout(500);
        return CHBDataStreamMnt::GetInstance().AddSerialPort(m_scanner->Path(), 115200);
    }

    CTempDir m_dir;
    std::unique_ptr<CPtyScanner> m_scanner;
};

TEST_F(ConnectSequenceTest, TheMapAndTheEngineLearnWhatTheScannerReports)
{
    DeviceEntry* entry = StartScanner(true);
    ASSERT_NE(nullptr, entry);
    // Something left from an earlier scanner must not survive the connect.
    CDeviceCmdNameMntXmlInfo::GetInstance().SetCurrentValue("OLDCMD", "1");
    CSaveCfg& engine = CSaveCfg::GetInstance();
    ASSERT_TRUE(RunConnectSequence(entry, m_dir.File("read.txt")));
    EXPECT_TRUE(CHBDataStreamMnt::GetInstance().IsOpen());

    const CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
    EXPECT_EQ(nullptr, map.Find("OLDCMD"));
    ASSERT_NE(nullptr, map.Find("SCNTMO"));
    EXPECT_EQ("3000", map.Find("SCNTMO")->CurrentValue);
    EXPECT_EQ("3000", map.Find("SCNTMO")->Default);
    EXPECT_EQ("100", map.Find("SCNTMO")->Minimum);
    EXPECT_EQ("9000", map.Find("SCNTMO")->Maximum);
    EXPECT_EQ(512u, engine.GetMaxPayload());
    EXPECT_EQ("SETUPN", engine.GetSetupCommand());
    EXPECT_TRUE(engine.HasDataFormat());
    EXPECT_TRUE(engine.IsDataFormatSet());
    EXPECT_EQ("Data Format 0:0099999;", map.Find("DFMSET")->CurrentValue);
    EXPECT_EQ("Data Format 0:0000000;", map.Find("DFMSET")->Default);
    for (const char* pseudo : {"XMLVSCRT", "DFTVSCRT", "CMDCTR", "SETCOD", "BATCHDATA"})
        EXPECT_NE(nullptr, map.Find(pseudo)) << pseudo;
    EXPECT_NE(wxNOT_FOUND, engine.GetDeviceCommandList().Find("SCNTMO"));
    EXPECT_EQ(wxNOT_FOUND, engine.GetDeviceCommandList().Find("XMLVSCRT")) << "only what the scanner reported";

    // The copy holds the three lists, the first two closed by a separator line.
    const std::string copy = m_dir.Read("read.txt");
    EXPECT_NE(std::string::npos, copy.find("SCNTMO    3000\r\n"));
    const size_t first = copy.find("====== \r\n");
    ASSERT_NE(std::string::npos, first);
    const size_t second = copy.find("====== \r\n", first + 1);
    ASSERT_NE(std::string::npos, second);
    EXPECT_EQ(std::string::npos, copy.find("====== ", second + 1));
    EXPECT_NE(std::string::npos, copy.find("SCNTMO    100-9000\r\n", second));
}

TEST_F(ConnectSequenceTest, AScannerWithoutDataFormatIsNotAskedForOne)
{
    DeviceEntry* entry = StartScanner(false);
    ASSERT_NE(nullptr, entry);
    ASSERT_TRUE(RunConnectSequence(entry));
    EXPECT_FALSE(CSaveCfg::GetInstance().HasDataFormat());
    const std::vector<std::string> asked{"~\x01" "0000@*;\x03", "~\x01" "0000@&;\x03", "~\x01" "0000@^;\x03",
                                         "~\x01" "0000@BUFQRY;\x03"};
    EXPECT_EQ(asked, m_scanner->Scanner().TakeHeardFrames());
}

TEST_F(ConnectSequenceTest, AScannerThatIsGoneFailsTheSequenceAndLeavesNothingOpen)
{
    DeviceEntry* entry = StartScanner(false);
    ASSERT_NE(nullptr, entry);
    m_scanner.reset();  // the scanner is gone before anything was asked
    EXPECT_FALSE(RunConnectSequence(entry));
    EXPECT_FALSE(CHBDataStreamMnt::GetInstance().IsOpen());
    EXPECT_FALSE(RunConnectSequence(nullptr));
}

// Each of the three whole-list queries must be answered in full; a refusal of any of
// them ends the sequence there and closes the scanner again.
class ConnectSequenceRefusalTest : public ConnectSequenceTest, public ::testing::WithParamInterface<size_t> {
protected:
    CScriptedScanner m_played;
};

TEST_P(ConnectSequenceRefusalTest, ARefusedListQueryClosesTheScanner)
{
    const char* const queries[] = {"@*", "@&", "@^"};
    std::vector<std::string> replies(GetParam(), ReplyFrame("SCNMOD0\x06"));
    replies.push_back(ReplyFrame("SCNMOD0\x15"));
    m_played.Script(replies);
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.SetReadTimeout(300);
    DeviceEntry* entry = link.AddSerialPort(m_played.Path(), 115200);
    ASSERT_NE(nullptr, entry);

    EXPECT_FALSE(RunConnectSequence(entry));
    EXPECT_FALSE(link.IsOpen());
    const std::vector<std::string> requests = m_played.Requests();
    ASSERT_EQ(GetParam() + 1, requests.size());
    EXPECT_EQ(std::string("~\x01" "0000") + queries[GetParam()] + ";\x03", requests.back());
}

INSTANTIATE_TEST_SUITE_P(EachListQuery, ConnectSequenceRefusalTest, ::testing::Values(0u, 1u, 2u));

}  // namespace
