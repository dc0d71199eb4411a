#include "PseudoTerminal.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
}

CPseudoTerminal::CPseudoTerminal()
{
    char name[128] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return;
    m_path = name;
    // Raw mode, so that the bytes pass unchanged in both directions.
    termios mode{};
    tcgetattr(m_slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(m_slave, TCSANOW, &mode);
}

CPseudoTerminal::~CPseudoTerminal()
{
    CloseMaster();
    if (m_slave >= 0)
        close(m_slave);
}

bool CPseudoTerminal::Send(const std::string& bytes) const
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(m_master, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        pollfd fd{m_master, POLLOUT, 0};
        if (poll(&fd, 1, 1000) <= 0)
            return false;
    }
    return true;
}

std::string CPseudoTerminal::Receive(size_t expected, int timeoutMs) const
{
    return ReceiveUntilDone([expected](const std::string& got) { return got.size() >= expected; }, timeoutMs);
}

std::string CPseudoTerminal::ReceiveUntil(const std::string& terminator, int timeoutMs) const
{
    return ReceiveUntilDone(
        [&terminator](const std::string& got) {
            return got.size() >= terminator.size() &&
                   got.compare(got.size() - terminator.size(), terminator.size(), terminator) == 0;
        },
        timeoutMs);
}

std::string CPseudoTerminal::ReceiveUntilDone(const std::function<bool(const std::string&)>& done, int timeoutMs) const
{
    std::string got;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done(got) && Clock::now() < deadline) {
        pollfd fd{m_master, POLLIN, 0};
        if (poll(&fd, 1, 10) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

void CPseudoTerminal::CloseMaster()
{
    if (m_master >= 0)
        close(m_master);
    m_master = -1;
}
