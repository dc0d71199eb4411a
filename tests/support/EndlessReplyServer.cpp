#include "EndlessReplyServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

const char kReplyStart[] = "\x02\x01" "0000@";
const int kStopCheckMs = 50;

// Waits until the descriptor is ready for `events`, or the check interval passes.
bool Ready(int fd, short events)
{
    pollfd entry{fd, events, 0};
    return poll(&entry, 1, kStopCheckMs) > 0 && (entry.revents & events) != 0;
}

}  // namespace

CEndlessReplyServer::CEndlessReplyServer(EPace pace, int trickleGapMs) : m_pace(pace), m_gapMs(trickleGapMs)
{
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 4) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CEndlessReplyServer::~CEndlessReplyServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        close(m_listener);
}

std::string CEndlessReplyServer::Address() const
{
    return m_port == 0 ? std::string() : "tcp://127.0.0.1:" + std::to_string(m_port);
}

void CEndlessReplyServer::Serve()
{
    while (!m_stop) {
        if (!Ready(m_listener, POLLIN))
            continue;
        const int connection = accept(m_listener, nullptr, nullptr);
        if (connection < 0)
            continue;
        Answer(connection);
        close(connection);
    }
}

// Each request gets the start of a reply, and then bytes until the client goes away.
void CEndlessReplyServer::Answer(int connection)
{
    std::vector<char> flood(64 * 1024, 'A');
    char request[4096];
    while (!m_stop) {
        if (!Ready(connection, POLLIN))
            continue;
        if (recv(connection, request, sizeof request, 0) <= 0)
            return;
        if (m_pace != EPace::NOISE && send(connection, kReplyStart, sizeof kReplyStart - 1, MSG_NOSIGNAL) <= 0)
            return;
        while (!m_stop) {
            if (m_pace == EPace::TRICKLE) {
                pollfd wait{connection, POLLIN, 0};
                if (poll(&wait, 1, m_gapMs) > 0)
                    break;  // a new request: it gets a new start
            } else if (!Ready(connection, POLLOUT)) {
                continue;
            }
            const size_t size = m_pace == EPace::TRICKLE ? 1 : flood.size();
            const ssize_t sent = send(connection, flood.data(), size, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent < 0 && errno != EAGAIN)
                return;
            if (sent > 0)
                m_sent += static_cast<uint64_t>(sent);
        }
    }
}
