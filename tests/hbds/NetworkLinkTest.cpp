// Network serial ports: the Telnet codec on its own, and the library against a small
// server on the loopback interface that plays ser2net's part.
#include "NetworkTransport.h"
#include "TelnetCodec.h"
#include "hbds.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <wx/datetime.h>

#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
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
    EXPECT_EQ((std::vector<std::string>{"/dev/pts/4", "rfc2217://10.0.0.7:2001", "tcp://[::1]:2002", "/dev/ttyS0"}),
              hbds::SplitPortList("/dev/pts/4:rfc2217://10.0.0.7:2001:tcp://[::1]:2002:/dev/ttyS0"));
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

class NetworkLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hbds_set_log_directory(m_logs.Path().utf8_str());
        HBSetLogLevel(4);
        m_handle = hbds_create();
    }
    void TearDown() override
    {
        hbds_destory(m_handle);
        hbds_clear_serial_paths();
        hbds_set_log_directory(nullptr);
        HBSetLogLevel(2);
    }

    bool Open(const std::string& url, uint32_t baud = 115200)
    {
        SerialSettings settings{};
        settings.port = hbds_add_serial_path(url.c_str());
        settings.baudRate = baud;
        settings.dataBits = 8;
        return hbds_open_com(m_handle, &settings, &m_status) != 0;
    }
    int Read(uint8_t* buffer, uint32_t size, int timeoutMs)
    {
        const uint8_t terminator[] = {';', 0x03};
        return hbds_read_until(m_handle, buffer, size, timeoutMs, -2, terminator, 2, &m_status);
    }
    std::string Log() const { return m_logs.Read(wxDateTime::Now().Format("hbds_%Y%m%d.log")); }

    CTempDir m_logs;
    HBDS_HANDLE m_handle = 0;
    uint32_t m_status = 0;
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
    EXPECT_EQ((std::vector<std::string>{"rfc2217+tls://till-4:3001", "/dev/pts/4", "tcp+tls://[::1]:3002"}),
              hbds::SplitPortList("rfc2217+tls://till-4:3001:/dev/pts/4:tcp+tls://[::1]:3002"));
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
