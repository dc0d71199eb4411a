// Serial I/O through a real pseudo-terminal pair: the test holds the master end and
// plays the scanner; the library opens the slave end by path. And the library's log,
// also as the crash handler writes it.
#include "PseudoTerminal.h"
#include "TempDir.h"
#include "hbds.h"
#include "hbds_signal.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

// A read stops at the terminator, also one split across chunks, keeps the rest for
// the next read, and never writes past the size it was given.
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

    std::thread scanner([this] {
        ASSERT_TRUE(m_pty.Send("abc;"));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(m_pty.Send(std::string("\x03" "zz", 3)));
    });
    const int got = Read(buffer, sizeof buffer, 1000);
    scanner.join();
    EXPECT_EQ(5, got);
    ASSERT_EQ(2, Read(buffer, sizeof buffer, 500));

    ASSERT_TRUE(m_pty.Send(std::string(40, 'x')));
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(10, Read(buffer, 10, 500));
    for (size_t i = 10; i < 16; ++i)
        EXPECT_EQ(0xEE, buffer[i]);
}

// Silence, a reply without terminator, input dropped by a clean, and a peer that went.
TEST_F(SerialLinkTest, AReadEndsAtTheTimeOutAQuietLineOrAClosedPeerWithoutHanging)
{
    ASSERT_TRUE(Open(Settings(m_port)));
    uint8_t buffer[64];
    auto start = Clock::now();
    EXPECT_EQ(0, Read(buffer, sizeof buffer, 300));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(elapsed, 280);
    EXPECT_LT(elapsed, 1500);
    EXPECT_EQ(0u, m_status);

    ASSERT_TRUE(m_pty.Send("partial"));
    start = Clock::now();
    EXPECT_EQ(7, Read(buffer, sizeof buffer, 2000));
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 1000);

    ASSERT_TRUE(m_pty.Send("stale;\x03"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(hbds_clean(m_handle, 0));
    EXPECT_EQ(0, Read(buffer, sizeof buffer, 150));

    m_pty.CloseMaster();
    start = Clock::now();
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

TEST(SerialPorts, APathThatIsNoPortSaysWhyAndAPathKeepsItsNumber)
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
    // A path keeps its port number.
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
    EXPECT_TRUE(std::any_of(ports, ports + count, [this](const SerialSettings& port) { return port.port == m_port; }));
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

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { hbds_set_log_directory(m_dir.Path().utf8_str()); }
    void TearDown() override
    {
        hbds_set_log_directory(nullptr);
        HBSetLogLevel(2);
    }
    std::string Today() const { return m_dir.Read(wxDateTime::Now().Format("hbds_%Y%m%d.log")); }

    CTempDir m_dir;
};

// Lines at or below the level in force are written with their source and line, also by
// the crash handler's signal-safe writer; levels outside 1 to 6 are refused.
TEST_F(LogTest, LinesAtOrBelowTheThresholdAreWrittenWithSourceAndLine)
{
    ASSERT_TRUE(HBSetLogLevel(4));
    EXPECT_FALSE(HBSetLogLevel(0));
    EXPECT_FALSE(HBSetLogLevel(7));
    EXPECT_EQ(4, hbds_get_log_level());
    logout_line(4, "DeviceMnt.cpp", 120, "hid devices=%i", 3);
    logout_line(5, "DeviceMnt.cpp", 121, "too detailed %i", 1);
    logout_line_u(2, "SaveConfig.cpp", 7, L"%ls %d", L"宽字符", 9);
    hbds_log_line_from_signal(4, "CrashDump.cpp", 77, "/opt/vostrel/dump/Vostrel20261207-101500.dmp");
    hbds_log_line_from_signal(5, "CrashDump.cpp", 78, "too detailed");
    const std::string log = Today();
    EXPECT_NE(std::string::npos, log.find("[4] DeviceMnt.cpp:120 hid devices=3\n"));
    EXPECT_EQ(std::string::npos, log.find("too detailed"));
    EXPECT_NE(std::string::npos, log.find("[2] SaveConfig.cpp:7 宽字符 9\n"));
    EXPECT_NE(std::string::npos, log.find("[4] CrashDump.cpp:77 /opt/vostrel/dump/Vostrel20261207-101500.dmp\n"));
}

// The crash handler's clock works without the time-zone database; it must still give
// the local time, east and west of Greenwich and off the full hour.
TEST_F(LogTest, SignalSafeClockGivesTheLocalTime)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    for (const char* zone : {"UTC0", "IST-5:30", "NST3:30"}) {
        setenv("TZ", zone, 1);
        tzset();
        hbds_set_log_directory(m_dir.Path().utf8_str());  // takes the offset in force
        std::tm safe{};
        hbds_local_time_from_signal(&safe);
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        safe.tm_isdst = local.tm_isdst;
        EXPECT_LE(std::fabs(std::difftime(std::mktime(&local), std::mktime(&safe))), 1.0) << zone;
    }
    saved ? setenv("TZ", previous.c_str(), 1) : unsetenv("TZ");
    tzset();
}

}  // namespace
