// Serial I/O through a real pseudo-terminal pair: the test holds the master end and
// plays the scanner; the library opens the slave end by path.
#include "support/PseudoTerminal.h"
#include "hbds/hbds.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
const uint8_t kTerminator[] = {';', 0x03};

SerialSettings Settings(uint32_t port, uint32_t baud = 115200, uint8_t parity = 0, uint8_t stopBits = 0,
                        uint8_t dataBits = 8)
{
    SerialSettings settings{};
    settings.port = port;
    settings.baudRate = baud;
    settings.dataBits = dataBits;
    settings.stopBits = stopBits;
    settings.parity = parity;
    return settings;
}

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_pty.Path().empty());
        m_port = hbds_add_serial_path(m_pty.Path().c_str());
        ASSERT_NE(0u, m_port);
        m_handle = hbds_create();
        ASSERT_NE(0u, m_handle);
    }
    void TearDown() override
    {
        hbds_destory(m_handle);
        hbds_clear_serial_paths();
    }

    bool Open(const SerialSettings& settings) { return hbds_open_com(m_handle, &settings, &m_status) != 0; }

    int Read(uint8_t* buffer, uint32_t size, int timeoutMs)
    {
        return hbds_read_until(m_handle, buffer, size, timeoutMs, -2, kTerminator, 2, &m_status);
    }

    CPseudoTerminal m_pty;
    uint32_t m_port = 0;
    HBDS_HANDLE m_handle = 0;
    uint32_t m_status = 0;
};

TEST_F(SerialLinkTest, LineParametersReachThePortAtOpenAndOnEveryChange)
{
    // A pseudo-terminal keeps the rate, the stop bits and odd parity; the kernel forces
    // eight data bits on it, so those cannot be checked here.
    ASSERT_TRUE(Open(Settings(m_port, 19200, 2, 2, 7))) << "status " << m_status;
    EXPECT_TRUE(hbds_is_open(m_handle));
    termios mode{};
    ASSERT_EQ(0, tcgetattr(m_pty.Slave(), &mode));
    EXPECT_EQ(B19200, cfgetospeed(&mode));
    EXPECT_TRUE(mode.c_cflag & CSTOPB);

    const SerialSettings odd = Settings(m_port, 9600, 1);
    ASSERT_TRUE(hbds_change_serial_settings(m_handle, &odd));
    ASSERT_EQ(0, tcgetattr(m_pty.Slave(), &mode));
    EXPECT_EQ(B9600, cfgetospeed(&mode));
    EXPECT_TRUE(mode.c_cflag & PARODD);
    EXPECT_FALSE(mode.c_cflag & CSTOPB);
    const SerialSettings nonsense = Settings(m_port, 9600, 9);
    EXPECT_FALSE(hbds_change_serial_settings(m_handle, &nonsense));
}

// 1.5 stop bits, a second open on one handle, and a port another handle holds.
TEST_F(SerialLinkTest, AnOpenThatCannotBeDoneSaysWhy)
{
    EXPECT_FALSE(Open(Settings(m_port, 9600, 0, 1)));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_INVALID_PARAMS), m_status);
    EXPECT_FALSE(hbds_is_open(m_handle));
    ASSERT_TRUE(Open(Settings(m_port)));
    EXPECT_FALSE(Open(Settings(m_port)));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_ALREADY_OPEN), m_status);
    HBDS_HANDLE second = hbds_create();
    const SerialSettings settings = Settings(m_port);
    EXPECT_FALSE(hbds_open_com(second, &settings, &m_status));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_ACCESS_DENIED), m_status);
    hbds_destory(second);
}

TEST_F(SerialLinkTest, BytesPassUnchangedAndAReadStopsAtTheTerminatorKeepingTheRest)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    const std::string frame("~\x01" "0000@QRYPDN;\x03", 14);
    EXPECT_EQ(14, hbds_write(m_handle, reinterpret_cast<const uint8_t*>(frame.data()), 14));
    EXPECT_EQ(frame, m_pty.Receive(14));
    ASSERT_TRUE(m_pty.Send(std::string("\x02\x01" "0000@AB;\x03" "next;\x03", 17)));
    uint8_t buffer[64] = {};
    ASSERT_EQ(11, Read(buffer, sizeof buffer, 1000));
    EXPECT_EQ(std::string("\x02\x01" "0000@AB;\x03", 11), std::string(reinterpret_cast<char*>(buffer), 11));
    ASSERT_EQ(6, Read(buffer, sizeof buffer, 1000));
    EXPECT_EQ(std::string("next;\x03", 6), std::string(reinterpret_cast<char*>(buffer), 6));
}

TEST_F(SerialLinkTest, ATerminatorSplitAcrossChunksIsFound)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    std::thread scanner([this] {
        ASSERT_TRUE(m_pty.Send("abc;"));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(m_pty.Send(std::string("\x03" "zz", 3)));
    });
    uint8_t buffer[64] = {};
    const int got = Read(buffer, sizeof buffer, 1000);
    scanner.join();
    EXPECT_EQ(5, got);
}

TEST_F(SerialLinkTest, ReadNeverWritesPastTheGivenSize)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    ASSERT_TRUE(m_pty.Send(std::string(40, 'x')));
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(10, Read(buffer, 10, 500));
    for (size_t i = 10; i < sizeof buffer; ++i)
        EXPECT_EQ(0xEE, buffer[i]);
}

TEST_F(SerialLinkTest, SilenceReturnsNothingAfterAboutTheTimeOut)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(0, Read(buffer, sizeof buffer, 300));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(elapsed, 280);
    EXPECT_LT(elapsed, 1500);
    EXPECT_EQ(0u, m_status);
}

TEST_F(SerialLinkTest, AReplyWithoutTerminatorEndsWhenTheLineGoesQuiet)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    ASSERT_TRUE(m_pty.Send("partial"));
    uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(7, Read(buffer, sizeof buffer, 2000));
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 1000);
}

TEST_F(SerialLinkTest, CleanDropsPendingInput)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    ASSERT_TRUE(m_pty.Send("stale;\x03"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(hbds_clean(m_handle, 0));
    uint8_t buffer[64];
    EXPECT_EQ(0, Read(buffer, sizeof buffer, 150));
}

TEST_F(SerialLinkTest, AClosedPeerGivesAnErrorStatusNotAHang)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    m_pty.CloseMaster();
    uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(0, Read(buffer, sizeof buffer, 2000));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), m_status);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 1000);
}

TEST_F(SerialLinkTest, OperationsOnAClosedOrUnknownHandleFailQuietly)
{
    uint8_t buffer[8] = {};
    EXPECT_EQ(0, hbds_write(m_handle, buffer, 1));
    EXPECT_EQ(0, Read(buffer, sizeof buffer, 10));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_OPEN), m_status);
    EXPECT_FALSE(hbds_is_open(987654));
    const SerialSettings settings = Settings(m_port);
    EXPECT_FALSE(hbds_open_com(987654, &settings, &m_status));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_INITIAL), m_status);
}

TEST(SerialPorts, APathThatIsNoPortSaysWhy)
{
    const struct {
        const char* path;
        uint32_t status;
    } cases[] = {
        {"/dev/vostrel-no-such-port", HBDS_ERR_NOT_EXIST},
        {"/dev/null", HBDS_ERR_INVALID_FILE_FORMAT},  // a device, but no terminal
        {"/tmp", HBDS_ERR_INVALID_FILE_FORMAT},
    };
    for (const auto& row : cases) {
        const uint32_t port = hbds_add_serial_path(row.path);
        HBDS_HANDLE handle = hbds_create();
        uint32_t status = 0;
        SerialSettings settings = Settings(port);
        EXPECT_FALSE(hbds_open_com(handle, &settings, &status)) << row.path;
        EXPECT_EQ(row.status, status) << row.path;
        hbds_destory(handle);
    }
    hbds_clear_serial_paths();
}

TEST(SerialPorts, APathKeepsItsPortNumber)
{
    const uint32_t first = hbds_add_serial_path("/dev/vostrel-a");
    EXPECT_EQ(first, hbds_add_serial_path("/dev/vostrel-a"));
    EXPECT_NE(first, hbds_add_serial_path("/dev/vostrel-b"));
    char path[64];
    ASSERT_TRUE(hbds_serial_port_path(first, path, sizeof path));
    EXPECT_STREQ("/dev/vostrel-a", path);
    EXPECT_FALSE(hbds_serial_port_path(60000, path, sizeof path));
    EXPECT_EQ(0u, hbds_add_serial_path(""));
    hbds_clear_serial_paths();
}

TEST_F(SerialLinkTest, EnumerationListsAddedPaths)
{
    SerialSettings ports[256];
    const int count = hbds_enum_serial_ports(ports, 256);
    bool listed = false;
    for (int i = 0; i < count; ++i)
        listed = listed || ports[i].port == m_port;
    EXPECT_TRUE(listed);
    EXPECT_EQ(0, hbds_enum_serial_ports(ports, 0));
}

TEST_F(SerialLinkTest, DetectionFindsTheRateAtWhichTheScannerAnswers)
{
    // A scanner that answers only once the line runs at 38400 baud.
    std::atomic<bool> done{false};
    std::thread scanner([this, &done] {
        while (!done) {
            const std::string request = m_pty.Receive(15, 100);
            termios mode{};
            tcgetattr(m_pty.Slave(), &mode);
            if (request == std::string("~\x01" "0000@QRYPDN;\x03", 15) && cfgetospeed(&mode) == B38400) {
                ASSERT_TRUE(m_pty.Send(std::string("\x02\x01" "0000@QRYPDNScanner\x06;\x03", 22)));
            }
        }
    });
    SerialSettings ports[2] = {Settings(m_port, 0), Settings(hbds_add_serial_path("/dev/vostrel-none"), 0)};
    EXPECT_EQ(2, hbds_detect_serial_settings(ports, 2, 100));
    done = true;
    scanner.join();
    EXPECT_EQ(38400u, ports[0].baudRate);
    EXPECT_EQ(0u, ports[1].baudRate);
}

}  // namespace
