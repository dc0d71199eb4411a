#include "PtyLink.h"

#include "SimLinePacer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

struct SSpeed {
    speed_t code;
    uint32_t rate;
};

const SSpeed kSpeeds[] = {{B1200, 1200},     {B2400, 2400},     {B4800, 4800},   {B9600, 9600},
                          {B19200, 19200},   {B38400, 38400},   {B57600, 57600}, {B115200, 115200},
                          {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};

// A pace slower than the tool's sleeps would measure; bytes go out in slices of
// about this much wire time instead of one system call per byte.
const auto kSlice = std::chrono::milliseconds(5);

}  // namespace

CPtyLink::~CPtyLink()
{
    Close();
}

bool CPtyLink::Open(std::string& error)
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    m_slavePath = name;
    termios mode{};
    tcgetattr(m_slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(m_slave, TCSANOW, &mode);
    return true;
}

bool CPtyLink::WaitForInput(int timeoutMs) const
{
    pollfd fd{m_master, POLLIN, 0};
    return poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN) != 0;
}

std::string CPtyLink::ReadAvailable() const
{
    char buffer[4096];
    const ssize_t got = read(m_master, buffer, sizeof buffer);
    return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
}

uint32_t CPtyLink::LineRate() const
{
    // On Linux the master reports the termios of the slave, which the tool set.
    termios mode{};
    if (tcgetattr(m_master, &mode) != 0)
        return 0;
    const speed_t code = cfgetospeed(&mode);
    for (const SSpeed& speed : kSpeeds) {
        if (speed.code == code)
            return speed.rate;
    }
    return 0;
}

bool CPtyLink::Send(const SSimReply& reply)
{
    if (m_master < 0)
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    const bool written = WritePaced(reply.bytes, reply.byteGapMs);
    if (reply.disconnect) {
        WaitUntilTaken(1000);
        Close();
    }
    return written && !reply.disconnect;
}

bool CPtyLink::WritePaced(const std::string& bytes, int byteGapMs)
{
    const auto byteTime = CSimLinePacer::ByteTime(LineRate()) + std::chrono::milliseconds(byteGapMs);
    const size_t perSlice = byteGapMs > 0 ? 1 : static_cast<size_t>(std::max<long long>(1, kSlice / byteTime));
    auto due = std::chrono::steady_clock::now();
    for (size_t at = 0; at < bytes.size();) {
        const size_t count = std::min(perSlice, bytes.size() - at);
        // Sleeps until the slice would have crossed the wire.
        std::this_thread::sleep_until(due + byteTime * static_cast<long>(count));
        const ssize_t written = write(m_master, bytes.data() + at, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        due += byteTime * static_cast<long>(written);
        at += static_cast<size_t>(written);
    }
    return true;
}

void CPtyLink::WaitUntilTaken(int timeoutMs) const
{
    // Closing the master discards what the tool has not read yet, and a pulled cable
    // does not take back bytes already on the wire. Written bytes reach the slave's
    // queue a moment later, so the wait is for them to show up there and then go.
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    bool arrived = false;
    int pending = 0;
    while (Clock::now() < deadline && ioctl(m_slave, FIONREAD, &pending) == 0) {
        arrived = arrived || pending > 0;
        if ((arrived && pending == 0) || (!arrived && Clock::now() - start > std::chrono::milliseconds(50)))
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

size_t CPtyLink::UnreadByTool() const
{
    int pending = 0;
    if (m_slave < 0 || ioctl(m_slave, FIONREAD, &pending) != 0 || pending < 0)
        return 0;
    return static_cast<size_t>(pending);
}

void CPtyLink::CloseWhenTaken(int timeoutMs)
{
    if (m_master >= 0)
        WaitUntilTaken(timeoutMs);
    Close();
}

void CPtyLink::Close()
{
    if (m_master >= 0)
        close(m_master);
    if (m_slave >= 0)
        close(m_slave);
    m_master = -1;
    m_slave = -1;
}
