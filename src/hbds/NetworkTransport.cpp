#include "NetworkTransport.h"

#include "Deadline.h"
#include "SerialLine.h"
#include "TelnetCodec.h"
#include "TlsStream.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace hbds {
namespace {


struct SScheme {
    const char* prefix;
    bool telnet;
    bool tls;
};
const SScheme kSchemes[] = {
    {"rfc2217://", true, false},
    {"tcp://", false, false},
    {"rfc2217+tls://", true, true},
    {"tcp+tls://", false, true},
};
// How long a server may take to answer the option offer and each line setting.
const int kNegotiationWaitMs = 1000;
// Network delivery comes in bursts that a serial line does not have; a shorter quiet
// gap would only cut a reply into more reads.
const int kNetworkQuietGapMs = 50;
// Data that arrives while nobody reads it (during the Telnet negotiation) is kept up
// to this much; beyond it the oldest goes, as a serial port's buffer would overrun.
const size_t kMostPendingBytes = 256 * 1024;

struct SAddress {
    bool telnet = false;
    bool tls = false;
    std::string host;
    std::string service;
};

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

const SScheme* SchemeOf(const std::string& path)
{
    for (const SScheme& scheme : kSchemes) {
        if (StartsWith(path, scheme.prefix))
            return &scheme;
    }
    return nullptr;
}

// Why the last network port that could not be opened failed, for the user.
std::mutex g_problemMutex;
std::string g_lastProblem;

void NoteProblem(const std::string& problem)
{
    std::lock_guard<std::mutex> lock(g_problemMutex);
    g_lastProblem = problem;
}

bool IsPortNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long number = std::strtol(text.c_str(), nullptr, 10);
    return number >= 1 && number <= 65535;
}

// "HOST:PORT" or "[IPv6]:PORT" after the scheme; a trailing "/" is allowed.
bool ParseAddress(const std::string& path, SAddress& address)
{
    const SScheme* scheme = SchemeOf(path);
    if (!scheme)
        return false;
    address.telnet = scheme->telnet;
    address.tls = scheme->tls;
    std::string rest = path.substr(std::strlen(scheme->prefix));
    if (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    address.host = rest.substr(0, colon);
    address.service = rest.substr(colon + 1);
    if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']')
        address.host = address.host.substr(1, address.host.size() - 2);
    return IsPortNumber(address.service) && address.host.find_first_of("[]/") == std::string::npos;
}

// One host-name lookup, shared by the caller and the thread that does it: the system
// resolver cannot be given a time-out, so the caller may stop waiting and leave the
// thread to finish and clean up on its own.
struct SLookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int result = EAI_AGAIN;
    addrinfo* found = nullptr;
};

// The addresses of `address`, or null when none were found within `timeoutMs`
// (`error` then holds the resolver's code, EAI_AGAIN when time ran out).
addrinfo* LookUp(const SAddress& address, int timeoutMs, int& error)
{
    auto lookup = std::make_shared<SLookup>();
    std::thread([lookup, host = address.host, service = address.service] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const int result = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        if (lookup->abandoned) {
            if (found)
                freeaddrinfo(found);
            return;
        }
        lookup->result = result;
        lookup->found = found;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return lookup->finished; })) {
        lookup->abandoned = true;
        error = EAI_AGAIN;
        return nullptr;
    }
    error = lookup->result;
    return lookup->result == 0 ? lookup->found : nullptr;
}

// A non-blocking connect bounded by `timeoutMs`, the host-name lookup included; -1
// with `status` set on failure.
int ConnectTo(const SAddress& address, int timeoutMs, uint32_t& status)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int lookup = 0;
    addrinfo* found = LookUp(address, timeoutMs, lookup);
    if (!found) {
        logout_line(4, "NetworkTransport.cpp", __LINE__, "host %s not found: %s", address.host.c_str(),
                    lookup == EAI_AGAIN ? "no answer in time" : gai_strerror(lookup));
        status = lookup == EAI_AGAIN ? HBDS_ERR_COMMUNICATION : HBDS_ERR_NOT_EXIST;
        return -1;
    }
    int fd = -1;
    status = HBDS_ERR_NOT_EXIST;
    for (const addrinfo* candidate = found; candidate && fd < 0; candidate = candidate->ai_next) {
        fd = socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, candidate->ai_protocol);
        if (fd < 0)
            continue;
        int error = connect(fd, candidate->ai_addr, candidate->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            pollfd ready{fd, POLLOUT, 0};
            socklen_t length = sizeof error;
            if (poll(&ready, 1, RemainingMs(deadline)) <= 0)
                error = ETIMEDOUT;
            else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
        if (error != 0) {
            // Refused or unreachable: nobody serves the port there. Silence past the
            // time-out is a link problem rather than a missing port.
            status = error == ETIMEDOUT ? HBDS_ERR_COMMUNICATION : HBDS_ERR_NOT_EXIST;
            logout_line(4, "NetworkTransport.cpp", __LINE__, "connect to %s port %s failed: %s",
                        address.host.c_str(), address.service.c_str(), std::strerror(error));
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd >= 0) {
        status = HBDS_OK;
        const int on = 1;
        // Requests are small and wait for their replies; Nagle would hold them back.
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

bool IsValidLine(const SerialSettings& settings)
{
    return settings.baudRate != 0 && settings.dataBits >= 5 && settings.dataBits <= 8 && settings.parity <= 4 &&
           settings.stopBits <= 2;
}

class CNetworkTransport final : public CTransport {
public:
    CNetworkTransport(int fd, std::unique_ptr<CSocketStream> stream, bool telnet, std::string path)
        : m_fd(fd), m_stream(std::move(stream)), m_telnet(telnet), m_path(std::move(path))
    {
    }
    ~CNetworkTransport() override
    {
        m_stream.reset();  // a TLS stream says goodbye on the socket first
        close(m_fd);
    }
    CNetworkTransport(const CNetworkTransport&) = delete;
    CNetworkTransport& operator=(const CNetworkTransport&) = delete;

    // Offers the COM-PORT-OPTION and waits for the server's word on it.
    bool Negotiate(uint32_t& status)
    {
        if (!SendAll(m_codec.Greeting(), kNegotiationWaitMs, status))
            return false;
        if (!WaitFor([this] { return m_codec.ComPortState() != CTelnetCodec::EComPort::Unanswered; },
                     kNegotiationWaitMs, status))
            return false;
        if (m_codec.ComPortState() != CTelnetCodec::EComPort::Accepted)
            logout_line(3, "NetworkTransport.cpp", __LINE__,
                        "%s does not take the COM-PORT-OPTION; line settings stay as the server has them",
                        m_path.c_str());
        return true;
    }

    bool ApplyLine(const SerialSettings& settings, uint32_t& status)
    {
        if (!IsValidLine(settings)) {
            status = HBDS_ERR_INVALID_PARAMS;
            return false;
        }
        m_baudRate = settings.baudRate;
        if (!m_telnet || m_codec.ComPortState() != CTelnetCodec::EComPort::Accepted) {
            logout_line(5, "NetworkTransport.cpp", __LINE__, "%s: line settings fixed at the server", m_path.c_str());
            return true;
        }
        return SendLineSettings(settings, status);
    }

    uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& status) override
    {
        std::vector<uint8_t> wire;
        if (m_telnet)
            CTelnetCodec::EscapeData(data, count, wire);
        else
            wire.assign(data, data + count);
        const int timeoutMs = 1000 + static_cast<int>(count * 10ull * 1000 / m_baudRate);
        return SendAll(wire, timeoutMs, status) ? count : 0;
    }

    int ReadSome(uint8_t* buffer, uint32_t size, int timeoutMs, uint32_t& status) override
    {
        if (m_pending.empty() && Pump(timeoutMs, status) < 0)
            return -1;
        const uint32_t take = std::min<uint32_t>(size, static_cast<uint32_t>(m_pending.size()));
        std::copy_n(m_pending.begin(), take, buffer);
        m_pending.erase(m_pending.begin(), m_pending.begin() + take);
        return static_cast<int>(take);
    }

    void DropInput() override
    {
        // What the socket already holds; a bounded number of rounds, so that a server
        // streaming without pause cannot keep this call from returning.
        uint32_t status = HBDS_OK;
        for (int round = 0; round < 64 && Pump(0, status) > 0; ++round) {
        }
        m_pending.clear();
    }

    int QuietGapMs() const override { return std::max(SerialQuietGapMs(m_baudRate), kNetworkQuietGapMs); }

    bool Reconfigure(const SerialSettings& settings, uint32_t& status) override { return ApplyLine(settings, status); }

private:
    bool SendLineSettings(const SerialSettings& settings, uint32_t& status)
    {
        using namespace telnet;
        const uint8_t baud[] = {uint8_t(settings.baudRate >> 24), uint8_t(settings.baudRate >> 16),
                                uint8_t(settings.baudRate >> 8), uint8_t(settings.baudRate)};
        static const uint8_t kStopSizes[] = {1, 3, 2};  // one, one and a half, two
        const uint8_t dataSize = settings.dataBits;
        const uint8_t parity = static_cast<uint8_t>(settings.parity + 1);  // 1 none ... 5 space
        const uint8_t stopSize = kStopSizes[settings.stopBits];
        const uint8_t noFlowControl = 1;
        std::vector<uint8_t> wire;
        for (const auto& command : {CTelnetCodec::ComPortCommand(kSetBaudRate, baud, 4),
                                    CTelnetCodec::ComPortCommand(kSetDataSize, &dataSize, 1),
                                    CTelnetCodec::ComPortCommand(kSetParity, &parity, 1),
                                    CTelnetCodec::ComPortCommand(kSetStopSize, &stopSize, 1),
                                    CTelnetCodec::ComPortCommand(kSetControl, &noFlowControl, 1)})
            wire.insert(wire.end(), command.begin(), command.end());
        m_codec.ForgetServerBaudRate();
        if (!SendAll(wire, kNegotiationWaitMs, status))
            return false;
        // The server answers with the rate it set; until then the port may still run
        // at the old one, and a request sent now would be lost.
        if (!WaitFor([this] { return m_codec.ServerBaudRate() != 0; }, kNegotiationWaitMs, status))
            return false;
        const uint32_t reported = m_codec.ServerBaudRate();
        if (reported == 0) {
            logout_line(3, "NetworkTransport.cpp", __LINE__, "%s did not confirm %u baud", m_path.c_str(),
                        settings.baudRate);
            return true;
        }
        if (reported != settings.baudRate) {
            logout_line(3, "NetworkTransport.cpp", __LINE__, "%s set %u baud instead of %u", m_path.c_str(), reported,
                        settings.baudRate);
            status = HBDS_ERR_INVALID_PARAMS;
            return false;
        }
        return true;
    }

    // Pumps the socket until `done` holds or `timeoutMs` has passed; false only when
    // the connection failed.
    template <typename Done>
    bool WaitFor(Done done, int timeoutMs, uint32_t& status)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            const int left = RemainingMs(deadline);
            if (left == 0)
                return true;
            if (Pump(left, status) < 0)
                return false;
        }
        return true;
    }

    // Waits at most `timeoutMs` for bytes from the server, decodes them and answers
    // its Telnet requests. Raw bytes taken, 0 when none came, -1 when the connection
    // failed or the server closed it.
    int Pump(int timeoutMs, uint32_t& status)
    {
        pollfd ready{m_fd, POLLIN, 0};
        // Bytes TLS has decrypted already no longer show on the socket.
        const int polled = m_stream->HasBuffered() ? 1 : poll(&ready, 1, std::max(timeoutMs, 0));
        if (polled < 0)
            return errno == EINTR ? 0 : Fail(HBDS_ERR_COMMUNICATION, status);
        if (polled == 0)
            return 0;
        uint8_t raw[4096];
        const ssize_t got = m_stream->Receive(raw, sizeof raw);
        if (got == 0)
            return Fail(HBDS_ERR_NOT_EXIST, status);  // the server closed the connection
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                return 0;
            return Fail(errno == ECONNRESET || errno == EPIPE ? HBDS_ERR_NOT_EXIST : HBDS_ERR_COMMUNICATION, status);
        }
        if (!m_telnet) {
            m_pending.insert(m_pending.end(), raw, raw + got);
        } else {
            std::vector<uint8_t> replies;
            m_codec.Decode(raw, static_cast<size_t>(got), m_pending, replies);
            if (!replies.empty() && !SendAll(replies, kNegotiationWaitMs, status))
                return -1;
        }
        KeepPendingBounded();
        return static_cast<int>(got);
    }

    void KeepPendingBounded()
    {
        if (m_pending.size() <= kMostPendingBytes)
            return;
        const size_t dropped = m_pending.size() - kMostPendingBytes;
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(dropped));
        if (!m_overrunLogged)
            logout_line(4, "NetworkTransport.cpp", __LINE__, "%s: unread data overran the buffer; the oldest is dropped",
                        m_path.c_str());
        m_overrunLogged = true;
    }

    int Fail(uint32_t code, uint32_t& status)
    {
        const int error = errno;  // before the log call can change it
        status = code;
        logout_line(4, "NetworkTransport.cpp", __LINE__, "%s: connection lost (%s)", m_path.c_str(),
                    code == HBDS_ERR_NOT_EXIST ? "closed by the server" : std::strerror(error));
        return -1;
    }

    bool SendAll(const std::vector<uint8_t>& wire, int timeoutMs, uint32_t& status)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        size_t sent = 0;
        while (sent < wire.size()) {
            const ssize_t n = m_stream->Send(wire.data() + sent, wire.size() - sent);
            if (n > 0) {
                sent += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                status = errno == EPIPE || errno == ECONNRESET ? HBDS_ERR_NOT_EXIST : HBDS_ERR_COMMUNICATION;
                return false;
            }
            pollfd ready{m_fd, POLLOUT, 0};
            if (RemainingMs(deadline) == 0 || poll(&ready, 1, std::min(RemainingMs(deadline), 50)) < 0) {
                status = HBDS_ERR_COMMUNICATION;
                return false;
            }
        }
        return true;
    }

    int m_fd;
    std::unique_ptr<CSocketStream> m_stream;
    bool m_telnet;
    std::string m_path;
    CTelnetCodec m_codec;
    std::vector<uint8_t> m_pending;  // decoded data not handed out yet
    bool m_overrunLogged = false;
    uint32_t m_baudRate = 9600;
};

}  // namespace

bool IsNetworkPort(const std::string& path)
{
    return SchemeOf(path) != nullptr;
}

std::string LastNetworkProblem()
{
    std::lock_guard<std::mutex> lock(g_problemMutex);
    return g_lastProblem;
}

std::vector<std::string> SplitPortList(const std::string& list)
{
    std::vector<std::string> paths;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end != std::string::npos && list.compare(end, 3, "://") == 0) {
            // A scheme: the path runs past the host to the colon after the port.
            size_t hostEnd = list.find(']', end + 3);
            hostEnd = list.compare(end + 3, 1, "[") == 0 && hostEnd != std::string::npos ? hostEnd : end + 3;
            const size_t portColon = list.find(':', hostEnd);
            end = portColon == std::string::npos ? std::string::npos : list.find(':', portColon + 1);
        }
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

std::unique_ptr<CTransport> OpenNetworkTransport(const std::string& path, const SerialSettings& settings,
                                                 uint32_t& status)
{
    NoteProblem(std::string());
    SAddress address;
    if (!ParseAddress(path, address)) {
        status = HBDS_ERR_INVALID_PARAMS;
        logout_line(4, "NetworkTransport.cpp", __LINE__, "%s is no HOST:PORT address", path.c_str());
        return nullptr;
    }
    if (!IsValidLine(settings)) {
        status = HBDS_ERR_INVALID_PARAMS;
        return nullptr;
    }
    const int fd = ConnectTo(address, kNetworkConnectTimeoutMs, status);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<CSocketStream> stream = PlainStream(fd);
    if (address.tls) {
        std::string problem;
        stream = TlsStream(fd, address.host, kNetworkConnectTimeoutMs, status, problem);
        if (!stream) {
            logout_line(4, "NetworkTransport.cpp", __LINE__, "%s: %s", path.c_str(), problem.c_str());
            NoteProblem(problem);
            close(fd);
            return nullptr;
        }
    }
    auto transport = std::make_unique<CNetworkTransport>(fd, std::move(stream), address.telnet, path);
    if (address.telnet && !transport->Negotiate(status))
        return nullptr;
    if (!transport->ApplyLine(settings, status))
        return nullptr;
    transport->DropInput();
    return transport;
}

}  // namespace hbds
