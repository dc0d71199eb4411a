// The device-link library's ports. Serial I/O through a real pseudo-terminal pair: the
// test holds the master end and plays the scanner; the library opens the slave end by
// path. Network serial ports: the Telnet codec on its own, and the library against a
// small server on the loopback interface that plays ser2net's part. And the library's
// log, also as the crash handler writes it.
#include "hbds/hbds.h"
#include "hbds/hbds_signal.h"
#include "hbds/NetworkTransport.h"
#include "hbds/SerialTransport.h"
#include "hbds/TelnetCodec.h"
#include "support/PseudoTerminal.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <wx/datetime.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

// A handle of the library, as the tool holds one, read up to the reply's terminator.
class CLibraryHandleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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

    HBDS_HANDLE m_handle = 0;
    uint32_t m_status = 0;
};

class SerialLinkTest : public CLibraryHandleTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_pty.Path().empty());
        m_port = hbds_add_serial_path(m_pty.Path().c_str());
        ASSERT_NE(0u, m_port);
        CLibraryHandleTest::SetUp();
    }

    CPseudoTerminal m_pty;
    uint32_t m_port = 0;
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

// The test programs search with VOSTREL_SYSTEM_SERIAL_PORTS=off: the added paths are
// listed, and none of the ports the system has.
TEST_F(SerialLinkTest, EnumerationListsAddedPathsAndLeavesTheSystemsPortsOutWhenAsked)
{
    ASSERT_STREQ("off", std::getenv("VOSTREL_SYSTEM_SERIAL_PORTS"));
    const std::vector<std::string> systemPorts = hbds::ListSystemSerialPorts();

    SerialSettings ports[256];
    const int count = hbds_enum_serial_ports(ports, 256);
    EXPECT_TRUE(std::any_of(ports, ports + count, [this](const SerialSettings& port) { return port.port == m_port; }));
    for (int i = 0; i < count; ++i) {
        char path[256] = "";
        ASSERT_EQ(1, hbds_serial_port_path(ports[i].port, path, sizeof path));
        EXPECT_EQ(systemPorts.end(), std::find(systemPorts.begin(), systemPorts.end(), path)) << path;
    }
    EXPECT_EQ(0, hbds_enum_serial_ports(ports, 0));
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


using Bytes = std::vector<uint8_t>;
using namespace hbds::telnet;

Bytes Decoded(hbds::CTelnetCodec& codec, const Bytes& wire, Bytes* replies = nullptr)
{
    Bytes data;
    Bytes answers;
    codec.Decode(wire.data(), wire.size(), data, answers);
    if (replies)
        *replies = answers;
    return data;
}

TEST(TelnetCodec, RequestsAreAnsweredOnlyWhenTheyChangeSomething)
{
    const struct {
        Bytes wire;
        Bytes replies;
        Bytes data;
    } cases[] = {
        {{kIac, kDo, kBinary, 'A'}, {}, {'A'}},                      // agreed already in the greeting
        {{kIac, kDo, 24}, {kIac, kWont, 24}, {}},                       // terminal type: not offered here
        {{kIac, kWill, 1, 'B'}, {kIac, kDont, 1}, {'B'}},             // the server's echo is not wanted
        {{kIac, kDont, kComPort}, {}, {}},                              // a refusal of an offer is not answered
        {{kIac, kWill, kBinary, kIac, kWont, kBinary}, {kIac, kDont, kBinary}, {}},  // taking back what was agreed
        {{kIac, 241, 'C', kIac, kSb, 99, 1, 2, kIac, kSe, 'D'}, {}, {'C', 'D'}},  // NOP and a foreign subnegotiation
    };
    for (const auto& row : cases) {
        hbds::CTelnetCodec codec;
        codec.Greeting();
        Bytes replies;
        EXPECT_EQ(row.data, Decoded(codec, row.wire, &replies));
        EXPECT_EQ(row.replies, replies);
    }
}

// Data bytes 0xFF are doubled on the way out and singled on the way in, also inside a
// subnegotiation and when cut between two reads; the server's word on the COM-PORT
// option and its baud rate are kept.
TEST(TelnetCodec, EscapedBytesAndTheServersComPortAnswersAreRead)
{
    Bytes wire;
    hbds::CTelnetCodec::EscapeData(Bytes{0x02, 0xFF, ';', 0xFF}.data(), 4, wire);
    EXPECT_EQ((Bytes{0x02, 0xFF, 0xFF, ';', 0xFF, 0xFF}), wire);

    hbds::CTelnetCodec accepting;
    accepting.Greeting();
    EXPECT_EQ((Bytes{0x02}), Decoded(accepting, {0x02, kIac}));
    EXPECT_EQ((Bytes{0xFF, ';'}), Decoded(accepting, {kIac, ';'}));
    Decoded(accepting, {kIac, kDo, kComPort});
    EXPECT_EQ(hbds::CTelnetCodec::EComPort::Accepted, accepting.ComPortState());
    Decoded(accepting, {kIac, kSb, kComPort, 101, 0x00, 0x01, 0xC2, kIac, kIac, kIac, kSe});
    EXPECT_EQ(0x0001C2FFu, accepting.ServerBaudRate());

    hbds::CTelnetCodec refusing;
    refusing.Greeting();
    Decoded(refusing, {kIac, kDont, kComPort});
    EXPECT_EQ(hbds::CTelnetCodec::EComPort::Refused, refusing.ComPortState());
    EXPECT_EQ((std::vector<std::string>{"/dev/pts/4", "rfc2217://10.0.0.7:2001", "tcp://[::1]:2002",
                                        "/dev/ttyS0", "rfc2217+tls://till-4:3001", "tcp+tls://[::1]:3002"}),
              hbds::SplitPortList("/dev/pts/4:rfc2217://10.0.0.7:2001:tcp://[::1]:2002:/dev/ttyS0:"
                                  "rfc2217+tls://till-4:3001:tcp+tls://[::1]:3002"));
}

// One connection on a loopback port; `serve` plays the server on the accepted socket.
class CFakeServer {
public:
    explicit CFakeServer(std::function<void(int)> serve)
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(m_listener, 1) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, serve] {
            const int connection = accept(m_listener, nullptr, nullptr);
            if (connection >= 0) {
                serve(connection);
                close(connection);
            }
        });
    }
    ~CFakeServer()
    {
        shutdown(m_listener, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        close(m_listener);
    }
    std::string Url(const char* scheme) const { return std::string(scheme) + "://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_listener = -1;
    uint16_t m_port = 0;
    std::thread m_thread;
};

// Reads from `fd` until `wanted` bytes came or a second has passed.
Bytes Receive(int fd, size_t wanted)
{
    Bytes got;
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (got.size() < wanted && Clock::now() < deadline) {
        uint8_t buffer[256];
        const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else if (n == 0)
            break;  // the client closed the connection
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
}

void Send(int fd, const Bytes& bytes)
{
    ASSERT_EQ(static_cast<ssize_t>(bytes.size()), send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
}

bool Contains(const Bytes& haystack, const Bytes& needle)
{
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

class NetworkLinkTest : public CLibraryHandleTest {
protected:
    void SetUp() override
    {
        hbds_set_log_directory(m_logs.Path().utf8_str());
        HBSetLogLevel(4);
        CLibraryHandleTest::SetUp();
    }
    void TearDown() override
    {
        CLibraryHandleTest::TearDown();
        hbds_set_log_directory(nullptr);
        HBSetLogLevel(2);
    }

    bool Open(const std::string& url, uint32_t baud = 115200)
    {
        return CLibraryHandleTest::Open(Settings(hbds_add_serial_path(url.c_str()), baud));
    }
    std::string Log() const { return m_logs.Read(wxDateTime::Now().Format("hbds_%Y%m%d.log")); }

    CTempDir m_logs;
};

TEST_F(NetworkLinkTest, LineSettingsReachAComPortServerAndDataPassesWithItsEscapes)
{
    // The five line settings: the baud rate with four value bytes, the others with one.
    const size_t kSettingsLength = 10 + 4 * 7;
    Bytes heard;
    Bytes data;
    Bytes secondSetting;
    CFakeServer server([&](int fd) {
        Receive(fd, 15);  // the greeting: five requests of three bytes
        Send(fd, {kIac, kDo, kComPort, kIac, kWill, kBinary});
        heard = Receive(fd, kSettingsLength);
        Send(fd, {kIac, kSb, kComPort, 101, 0, 1, 0xC2, 0, kIac, kSe});
        data = Receive(fd, 5);
        Send(fd, {0x02, kIac, kIac, ';', 0x03});
        secondSetting = Receive(fd, kSettingsLength);
        Send(fd, {kIac, kSb, kComPort, 101, 0, 0, 0x25, 0x80, kIac, kSe});
        Receive(fd, 1);  // until the client closes
    });
    ASSERT_TRUE(Open(server.Url("rfc2217"))) << m_status;
    EXPECT_EQ(static_cast<uint32_t>(HBDS_OK), m_status) << "an open connection reports no fault";
    EXPECT_TRUE(Contains(heard, {kIac, kSb, kComPort, kSetBaudRate, 0, 1, 0xC2, 0, kIac, kSe}));
    EXPECT_TRUE(Contains(heard, {kIac, kSb, kComPort, kSetParity, 1, kIac, kSe}));

    const Bytes request = {'D', 0xFF, ';', 0x03};
    ASSERT_EQ(4, hbds_write(m_handle, request.data(), 4));
    uint8_t reply[16];
    ASSERT_EQ(4, Read(reply, sizeof reply, 1000));
    EXPECT_EQ((Bytes{0x02, 0xFF, ';', 0x03}), Bytes(reply, reply + 4));
    EXPECT_EQ((Bytes{'D', 0xFF, 0xFF, ';', 0x03}), data);

    SerialSettings slower{};
    slower.baudRate = 9600;
    slower.dataBits = 8;
    EXPECT_TRUE(hbds_change_serial_settings(m_handle, &slower));
    EXPECT_TRUE(Contains(secondSetting, {kIac, kSb, kComPort, kSetBaudRate, 0, 0, 0x25, 0x80, kIac, kSe}));
    hbds_close(m_handle);  // lets the server end before it is taken down
}

TEST_F(NetworkLinkTest, AServerRefusingTheComPortOptionIsUsedWithItsOwnSettingsAndSaysSoInTheLog)
{
    CFakeServer server([](int fd) {
        Receive(fd, 15);
        Send(fd, {kIac, kDont, kComPort});
        Send(fd, Receive(fd, 3));  // echoes the request back as the reply
    });
    ASSERT_TRUE(Open(server.Url("rfc2217"))) << m_status;
    EXPECT_NE(std::string::npos, Log().find("does not take the COM-PORT-OPTION")) << Log();
    ASSERT_EQ(3, hbds_write(m_handle, reinterpret_cast<const uint8_t*>("A;\x03"), 3));
    uint8_t reply[8];
    EXPECT_EQ(3, Read(reply, sizeof reply, 1000));
}

// A server that sends data without end while the options are still being agreed: the
// open ends within its waits, and what nobody reads yet is kept only up to a bound.
TEST_F(NetworkLinkTest, AServerFloodingDuringTheNegotiationIsOpenedWithinItsWaits)
{
    std::atomic<bool> stop{false};
    CFakeServer server([&](int fd) {
        const Bytes flood(64 * 1024, 'A');
        while (!stop && send(fd, flood.data(), flood.size(), MSG_NOSIGNAL) > 0) {
        }
    });
    const auto start = Clock::now();
    Open(server.Url("rfc2217"));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    uint8_t buffer[4096];
    EXPECT_LE(Read(buffer, sizeof buffer, 100), static_cast<int>(sizeof buffer));
    stop = true;
    hbds_close(m_handle);
}

TEST_F(NetworkLinkTest, ARefusedConnectionOrAMalformedAddressFailsAtOnce)
{
    std::string refused;
    {
        CFakeServer closed([](int) {});
        refused = closed.Url("tcp");
    }
    const struct {
        std::string url;
        uint32_t status;
    } cases[] = {{refused, HBDS_ERR_NOT_EXIST},
                 {"rfc2217://127.0.0.1", HBDS_ERR_INVALID_PARAMS},
                 {"tcp://127.0.0.1:99999", HBDS_ERR_INVALID_PARAMS}};
    for (const auto& row : cases) {
        const auto start = Clock::now();
        EXPECT_FALSE(Open(row.url)) << row.url;
        EXPECT_EQ(row.status, m_status) << row.url;
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(hbds::kNetworkConnectTimeoutMs)) << row.url;
    }
}

TEST_F(NetworkLinkTest, AConnectionDroppedDuringAReadVanishesLongBeforeTheTimeout)
{
    CFakeServer server([](int fd) {
        Receive(fd, 3);
        Send(fd, {0x02, 0x01});  // the start of a reply, then the server goes
    });
    ASSERT_TRUE(Open(server.Url("tcp"))) << m_status;
    ASSERT_EQ(3, hbds_write(m_handle, reinterpret_cast<const uint8_t*>("A;\x03"), 3));
    uint8_t reply[8];
    const auto start = Clock::now();
    int got = Read(reply, sizeof reply, 5000);
    if (got > 0)
        got = Read(reply, sizeof reply, 5000);  // the quiet gap may end the first read
    EXPECT_EQ(0, got);
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), m_status);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

}  // namespace

TEST_F(NetworkLinkTest, ATlsPortThatSpeaksNoTlsOrNothingIsRefusedWithinTheConnectTimeWithItsReason)
{
    const struct {
        const char* name;
        std::function<void(int)> serve;
        uint32_t status;
        const char* reason;
    } cases[] = {
        {"plain Telnet", [](int fd) { (void)!write(fd, "\xFF\xFB\x2C login: ", 10); Receive(fd, 4096); },
         HBDS_ERR_CERTIFICATE, "TLS handshake failed"},
        {"garbage without end", [](int fd) {
             const std::string junk(4096, '\x16');
             for (int i = 0; i < 200 && send(fd, junk.data(), junk.size(), MSG_NOSIGNAL) > 0; ++i) {
             }
         },
         HBDS_ERR_CERTIFICATE, "TLS handshake failed"},
        {"silence", [](int fd) {
             for (int second = 0; second < 5; ++second)
                 Receive(fd, 1 << 20);
         },
         HBDS_ERR_COMMUNICATION, "in time"},
    };
    for (const auto& row : cases) {
        CFakeServer server(row.serve);
        const auto start = Clock::now();
        EXPECT_FALSE(Open(server.Url("rfc2217+tls"))) << row.name;
        EXPECT_EQ(row.status, m_status) << row.name;
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2 * hbds::kNetworkConnectTimeoutMs)) << row.name;
        char problem[512] = {};
        hbds_last_network_problem(problem, sizeof problem);
        EXPECT_NE(std::string::npos, std::string(problem).find(row.reason)) << row.name << ": " << problem;
    }
}

TEST_F(NetworkLinkTest, DataPassesUnderTlsAndAServerThatHasGoneFailsTheWriteWithoutEndingTheProcess)
{
    // A certificate for 127.0.0.1 signed by itself, so that it is its own authority.
    const std::string folder(m_logs.Path().utf8_str());
    ASSERT_EQ(0, std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext "
                              "subjectAltName=IP:127.0.0.1 -keyout " + folder + "key.pem -out " + folder + "ca.pem 2>/dev/null")
                                 .c_str()));
    hbds_set_tls_files((folder + "ca.pem").c_str(), nullptr, nullptr);
    CFakeServer fake([&folder](int fd) {
        SSL_CTX* context = SSL_CTX_new(TLS_server_method());
        SSL_CTX_use_certificate_file(context, (folder + "ca.pem").c_str(), SSL_FILETYPE_PEM);
        SSL_CTX_use_PrivateKey_file(context, (folder + "key.pem").c_str(), SSL_FILETYPE_PEM);
        SSL* ssl = SSL_new(context);
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) == 1) {
            const std::string reply("\x02\x01" "0000@QRYPDNHBS\x06;\x03", 18);
            char request[64];
            if (SSL_read(ssl, request, sizeof request) > 0)
                SSL_write(ssl, reply.data(), static_cast<int>(reply.size()));
        }
        SSL_free(ssl);
        SSL_CTX_free(context);
    });
    ASSERT_TRUE(Open(fake.Url("tcp+tls"))) << m_status;
    const std::string request = "~\x01" "0000@QRYPDN;\x03";
    EXPECT_EQ(static_cast<int>(request.size()),
              hbds_write(m_handle, reinterpret_cast<const uint8_t*>(request.data()), static_cast<uint32_t>(request.size())));
    uint8_t reply[64] = {};
    EXPECT_EQ(18, Read(reply, sizeof reply, 2000));
    EXPECT_EQ(0, std::memcmp(reply + 7, "QRYPDNHBS", 9));

    // The server has closed its end: writing on must fail, many times over, and no more.
    int written = 1;
    for (int i = 0; i < 50 && written > 0; ++i) {
        written = hbds_write(m_handle, reinterpret_cast<const uint8_t*>(request.data()), static_cast<uint32_t>(request.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(0, written);
    hbds_set_tls_files(nullptr, nullptr, nullptr);
}
