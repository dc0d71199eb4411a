#include "SerialTransport.h"
#include "SerialLine.h"
#include "TermiosTransport.h"

#include <libserialport.h>

#include <sys/file.h>

#include <algorithm>
#include <cerrno>

namespace hbds {
namespace {

bool ToSpParity(uint8_t parity, sp_parity& out)
{
    static const sp_parity table[] = {SP_PARITY_NONE, SP_PARITY_ODD, SP_PARITY_EVEN, SP_PARITY_MARK,
                                      SP_PARITY_SPACE};
    if (parity > 4)
        return false;
    out = table[parity];
    return true;
}

class CSerialTransport final : public CTransport {
public:
    explicit CSerialTransport(sp_port* port) : m_port(port) {}
    ~CSerialTransport() override
    {
        sp_close(m_port);
        sp_free_port(m_port);
    }

    bool Apply(const SerialSettings& settings, uint32_t& status)
    {
        sp_parity parity;
        if (settings.baudRate == 0 || settings.dataBits < 5 || settings.dataBits > 8 ||
            !ToSpParity(settings.parity, parity) || (settings.stopBits != 0 && settings.stopBits != 2)) {
            // 1.5 stop bits cannot be set on this platform's serial driver.
            status = HBDS_ERR_INVALID_PARAMS;
            return false;
        }
        const bool applied = sp_set_baudrate(m_port, static_cast<int>(settings.baudRate)) == SP_OK &&
                             sp_set_bits(m_port, settings.dataBits) == SP_OK &&
                             sp_set_parity(m_port, parity) == SP_OK &&
                             sp_set_stopbits(m_port, settings.stopBits == 2 ? 2 : 1) == SP_OK &&
                             sp_set_flowcontrol(m_port, SP_FLOWCONTROL_NONE) == SP_OK;
        if (!applied) {
            status = HBDS_ERR_INVALID_PARAMS;
            return false;
        }
        m_baudRate = settings.baudRate;
        return true;
    }

    uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& status) override
    {
        // Enough time for the bytes at the line rate, and a second of slack.
        const unsigned timeout = 1000 + static_cast<unsigned>(count * 10ull * 1000 / m_baudRate);
        const sp_return result = sp_blocking_write(m_port, data, count, timeout);
        if (result < 0) {
            status = StatusForIoErrno(sp_last_error_code());
            return 0;
        }
        if (static_cast<uint32_t>(result) < count)
            status = HBDS_ERR_COMMUNICATION;
        return static_cast<uint32_t>(result);
    }

    int ReadSome(uint8_t* buffer, uint32_t size, int timeoutMs, uint32_t& status) override
    {
        if (!WaitForInput(timeoutMs, status))
            return -1;
        const sp_return result = sp_nonblocking_read(m_port, buffer, size);
        if (result < 0) {
            status = StatusForIoErrno(sp_last_error_code());
            return -1;
        }
        return static_cast<int>(result);
    }

    void DropInput() override { sp_flush(m_port, SP_BUF_INPUT); }

    int QuietGapMs() const override { return SerialQuietGapMs(m_baudRate); }

    bool Reconfigure(const SerialSettings& settings, uint32_t& status) override
    {
        return Apply(settings, status);
    }

private:
    bool WaitForInput(int timeoutMs, uint32_t& status)
    {
        sp_event_set* events = nullptr;
        if (sp_new_event_set(&events) != SP_OK) {
            status = HBDS_ERR_MALLOC;
            return false;
        }
        bool ok = sp_add_port_events(events, m_port, SP_EVENT_RX_READY) == SP_OK &&
                  sp_wait(events, static_cast<unsigned>(std::max(timeoutMs, 0))) == SP_OK;
        if (!ok)
            status = StatusForIoErrno(sp_last_error_code());
        sp_free_event_set(events);
        return ok;
    }

    sp_port* m_port;
    uint32_t m_baudRate = 9600;
};

}  // namespace

std::unique_ptr<CTransport> OpenSerialTransport(const std::string& path, const SerialSettings& settings,
                                                uint32_t& status)
{
    sp_port* port = nullptr;
    if (sp_get_port_by_name(path.c_str(), &port) != SP_OK)
        return OpenTermiosTransport(path, settings, status);
    if (sp_open(port, SP_MODE_READ_WRITE) != SP_OK) {
        status = StatusForOpenErrno(sp_last_error_code());
        sp_free_port(port);
        return nullptr;
    }
    // libserialport does not keep other programs off the port; an advisory lock
    // does, for every program that asks for one too.
    int fd = -1;
    if (sp_get_port_handle(port, &fd) == SP_OK && fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        status = HBDS_ERR_ACCESS_DENIED;
        sp_close(port);
        sp_free_port(port);
        return nullptr;
    }
    auto transport = std::make_unique<CSerialTransport>(port);
    if (!transport->Apply(settings, status))
        return nullptr;
    transport->DropInput();
    return transport;
}

std::vector<std::string> ListSystemSerialPorts()
{
    std::vector<std::string> paths;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return paths;
    for (sp_port** p = ports; *p; ++p) {
        if (const char* name = sp_get_port_name(*p))
            paths.emplace_back(name);
    }
    sp_free_port_list(ports);
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace hbds
