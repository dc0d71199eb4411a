// Serial lines that libserialport cannot open. On Linux it insists on a sysfs entry
// under /sys/class/tty for every port, and pseudo-terminals (the simulator, socat
// bridges, test rigs) have none, so ports given by path fall back to termios here.
#include "TermiosTransport.h"
#include "Deadline.h"
#include "SerialLine.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace hbds {
namespace {

struct SBaudCode {
    uint32_t rate;
    speed_t code;
};

const SBaudCode kBaudCodes[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},   {9600, B9600},
                                {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
                                {230400, B230400}, {460800, B460800}, {921600, B921600}};

bool ToSpeed(uint32_t rate, speed_t& code)
{
    for (const SBaudCode& entry : kBaudCodes) {
        if (entry.rate == rate) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

class CTermiosTransport final : public CTransport {
public:
    explicit CTermiosTransport(int fd) : m_fd(fd) {}
    ~CTermiosTransport() override { close(m_fd); }

    bool Apply(const SerialSettings& settings, uint32_t& status)
    {
        speed_t speed;
        if (!ToSpeed(settings.baudRate, speed) || settings.dataBits < 5 || settings.dataBits > 8 ||
            settings.parity > 2 || (settings.stopBits != 0 && settings.stopBits != 2)) {
            // Mark and space parity and 1.5 stop bits have no termios form.
            status = HBDS_ERR_INVALID_PARAMS;
            return false;
        }
        termios mode{};
        if (tcgetattr(m_fd, &mode) != 0) {
            status = StatusForIoErrno(errno);
            return false;
        }
        cfmakeraw(&mode);
        static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
        mode.c_cflag = (mode.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS)) | CLOCAL | CREAD |
                       sizes[settings.dataBits - 5];
        if (settings.parity != 0)
            mode.c_cflag |= PARENB | (settings.parity == 1 ? PARODD : 0);
        if (settings.stopBits == 2)
            mode.c_cflag |= CSTOPB;
        mode.c_cc[VMIN] = 0;
        mode.c_cc[VTIME] = 0;
        cfsetispeed(&mode, speed);
        cfsetospeed(&mode, speed);
        if (tcsetattr(m_fd, TCSANOW, &mode) != 0) {
            status = HBDS_ERR_INVALID_PARAMS;
            return false;
        }
        m_baudRate = settings.baudRate;
        return true;
    }

    uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& status) override
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(1000 + count * 10ull * 1000 / m_baudRate);
        uint32_t written = 0;
        while (written < count && Clock::now() < deadline) {
            const ssize_t n = write(m_fd, data + written, count - written);
            if (n > 0) {
                written += static_cast<uint32_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                status = StatusForIoErrno(errno);
                return written;
            }
            pollfd ready{m_fd, POLLOUT, 0};
            poll(&ready, 1, 10);
        }
        if (written < count)
            status = HBDS_ERR_COMMUNICATION;
        return written;
    }

    int ReadSome(uint8_t* buffer, uint32_t size, int timeoutMs, uint32_t& status) override
    {
        pollfd ready{m_fd, POLLIN, 0};
        const int polled = poll(&ready, 1, std::max(timeoutMs, 0));
        if (polled < 0) {
            if (errno == EINTR)
                return 0;
            status = StatusForIoErrno(errno);
            return -1;
        }
        if (polled == 0)
            return 0;
        const bool hungUp = (ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        const ssize_t n = (ready.revents & POLLIN) ? read(m_fd, buffer, size) : 0;
        if (n == 0 && hungUp) {
            // The far end has gone: a closed pseudo-terminal master hangs up the slave.
            status = HBDS_ERR_NOT_EXIST;
            return -1;
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                return 0;
            status = StatusForIoErrno(errno);
            return -1;
        }
        return static_cast<int>(n);
    }

    void DropInput() override { tcflush(m_fd, TCIFLUSH); }

    int QuietGapMs() const override { return SerialQuietGapMs(m_baudRate); }

    bool Reconfigure(const SerialSettings& settings, uint32_t& status) override { return Apply(settings, status); }

private:
    int m_fd;
    uint32_t m_baudRate = 9600;
};

}  // namespace

std::unique_ptr<CTransport> OpenTermiosTransport(const std::string& path, const SerialSettings& settings,
                                                 uint32_t& status)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = StatusForOpenErrno(errno);
        return nullptr;
    }
    if (!isatty(fd)) {
        // A file or a device of another kind (/dev/null): there is no line to talk on.
        close(fd);
        status = HBDS_ERR_INVALID_FILE_FORMAT;
        return nullptr;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        status = HBDS_ERR_ACCESS_DENIED;
        close(fd);
        return nullptr;
    }
    auto transport = std::make_unique<CTermiosTransport>(fd);
    if (!transport->Apply(settings, status))
        return nullptr;
    transport->DropInput();
    return transport;
}

}  // namespace hbds
