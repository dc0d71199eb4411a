// The simulated scanner on a virtual port, driven only through the device-link
// library's C operations, as the tool drives a scanner.
#include "simulator/InProcessScanner.h"
#include "SimTestSupport.h"
#include "simulator/SimulatorAttach.h"

#include "hbds/hbds.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class InProcessScannerTest : public ::testing::Test {
protected:
    void StartScanner(uint32_t baudRate, const std::string& name)
    {
        m_scanner = std::make_unique<CInProcessScanner>(FixtureScanner(baudRate), name);
        m_port = m_scanner->Start();
        ASSERT_NE(0u, m_port);
    }

    std::unique_ptr<CInProcessScanner> m_scanner;
    uint32_t m_port = 0;
};

TEST_F(InProcessScannerTest, Port_IsListedUnderItsNameAndDetectedAtItsOwnRate)
{
    StartScanner(9600, "sim:LISTED");
    SerialSettings ports[256];
    const int count = hbds_enum_serial_ports(ports, 256);
    bool listed = false;
    for (int i = 0; i < count; ++i)
        listed = listed || ports[i].port == m_port;
    EXPECT_TRUE(listed);

    m_scanner->Stop();
    const int after = hbds_enum_serial_ports(ports, 256);
    for (int i = 0; i < after; ++i)
        EXPECT_NE(m_port, ports[i].port);
    StartScanner(57600, "sim:DETECT");
    SerialSettings record = Line(m_port, 9600);
    ASSERT_EQ(1, hbds_detect_serial_settings(&record, 1, 100));
    EXPECT_EQ(57600u, record.baudRate);
}

TEST_F(InProcessScannerTest, Detection_FindsEveryRateAndARateGivenByHandOnlyWhereItAnswersUnderRealTiming)
{
    const uint32_t rates[] = {9600, 115200, 57600, 2400};
    for (uint32_t rate : rates) {
        SCOPED_TRACE(rate);
        std::unique_ptr<CSimulatedScanner> engine = FixtureScanner(rate);
        engine->SetTiming(SSimTiming::Real());
        CInProcessScanner scanner(std::move(engine), "sim:RATE-" + std::to_string(rate));
        const uint32_t port = scanner.Start();
        ASSERT_NE(0u, port);
        SerialSettings record = Line(port, 9600);
        ASSERT_EQ(1, hbds_detect_serial_settings(&record, 1, 100));
        EXPECT_EQ(rate, record.baudRate);
        EXPECT_EQ(1, hbds_probe_serial_rate(port, rate, 100));
        EXPECT_EQ(0, hbds_probe_serial_rate(port, rate == 9600 ? 115200 : 9600, 100));
    }
    EXPECT_EQ(0, hbds_probe_serial_rate(hbds_add_serial_path("/dev/vostrel-none"), 9600, 100));
}

TEST_F(InProcessScannerTest, Reply_IsPacedAtTenBitsPerByte)
{
    StartScanner(9600, "sim:PACED");
    CLink link;
    ASSERT_TRUE(link.Open(m_port, 9600));
    const auto start = Clock::now();
    const std::string reply = link.Exchange("@^");
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    ASSERT_EQ(93u, reply.size());
    // 93 bytes at 960 bytes a second take 97 ms on the wire.
    EXPECT_GE(elapsed, 90);
    EXPECT_LT(elapsed, 1000);
}

TEST_F(InProcessScannerTest, RemovalDuringARead_EndsTheReadAtOnce)
{
    StartScanner(9600, "sim:MIDREAD");
    CLink link;
    ASSERT_TRUE(link.Open(m_port, 9600));
    std::string got = "(not yet)";
    const auto start = Clock::now();
    std::thread reader([&] { got = link.Read(3000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m_scanner->Stop();
    reader.join();
    EXPECT_EQ("", got);
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), link.Status());
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 1500);
}

TEST_F(InProcessScannerTest, Restart_KeepsThePortNumberAndLosesTemporaryValues)
{
    StartScanner(9600, "sim:RESTART");
    {
        CLink link;
        ASSERT_TRUE(link.Open(m_port, 9600));
        ASSERT_EQ(kHead + "#SCNTMO5\x06;\x03", link.Exchange("#SCNTMO5"));
        ASSERT_EQ(kHead + "@232PAR2\x06;\x03", link.Exchange("@232PAR2"));
    }
    m_scanner->Stop();
    ASSERT_EQ(m_port, m_scanner->Start());
    CLink link;
    ASSERT_TRUE(link.Open(m_port, 9600)) << link.Status();
    EXPECT_EQ(kHead + "@SCNTMO30\x06,MOD0\x06;232PAR2\x06;\x03", link.Exchange("@SCNTMO,MOD;232PAR"));
}

TEST(SimulatorAttachTest, Attach_PlugsInNamedScannersAndDetachUnplugsThem)
{
    std::string error;
    const uint32_t first = AttachSimulatedScanner(FixtureModelPath(), "HBS-ATTACH", &error);
    ASSERT_NE(0u, first) << error;
    const uint32_t second = AttachSimulatedScanner(FixtureModelPath(), "HBS-ATTACH", &error);
    ASSERT_NE(0u, second) << error;
    char path[64] = {};
    ASSERT_TRUE(hbds_serial_port_path(first, path, sizeof path));
    EXPECT_STREQ("sim:HBS-ATTACH", path);
    ASSERT_TRUE(hbds_serial_port_path(second, path, sizeof path));
    EXPECT_STREQ("sim:HBS-ATTACH-2", path);

    CLink link;
    ASSERT_TRUE(link.Open(second, 9600));
    EXPECT_EQ(kHead + "@QRYPDNProduct Name: HBS-ATTACH\r\n\x06;\x03", link.Exchange("@QRYPDN"));
    EXPECT_TRUE(DetachSimulatedScanner(first));
    DetachAllSimulatedScanners();  // what the program does at its end
    EXPECT_FALSE(DetachSimulatedScanner(second));
    EXPECT_EQ(0, link.Write(Request("@QRYPDN")));
    EXPECT_EQ("", link.Read(200));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), link.Status());
    EXPECT_FALSE(CLink().Open(second, 9600));
}

TEST(SimulatorAttachTest, Attach_RefusesABadModelFileWithAReason)
{
    std::string error;
    EXPECT_EQ(0u, AttachSimulatedScanner("/nonexistent/model.xml", "HBS-NONE", &error));
    EXPECT_NE(std::string::npos, error.find("/nonexistent/model.xml"));
}

}  // namespace
