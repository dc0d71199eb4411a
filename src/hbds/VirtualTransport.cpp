// Virtual ports: the library side of a device that lives in this process. The device
// may be removed while connections to it are open and while another thread is inside
// one of its callbacks, so every call goes through a guard that counts calls in
// progress and lets removal wait for them; after removal the connection only fails.
#include "VirtualTransport.h"

#include "PortTable.h"
#include "SerialLine.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace hbds {
namespace {

class CVirtualPort {
public:
    explicit CVirtualPort(const HbdsVirtualDevice& device) : m_device(device) {}

    // Runs `call` with the device record unless the port is gone; false when gone.
    template <typename TCall>
    bool Call(TCall call)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_removed)
                return false;
            ++m_calls;
        }
        call(m_device);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_calls == 0)
            m_idle.notify_all();
        return true;
    }

    // Refuses new calls and waits for those in progress, so that the device's owner
    // may free it as soon as this returns.
    void Remove()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_removed = true;
        m_idle.wait(lock, [this] { return m_calls == 0; });
    }

private:
    const HbdsVirtualDevice m_device;
    std::mutex m_mutex;
    std::condition_variable m_idle;
    int m_calls = 0;
    bool m_removed = false;
};

using PortList = std::vector<std::pair<std::string, std::shared_ptr<CVirtualPort>>>;

struct SPortRegistry {
    std::mutex mutex;
    PortList ports;  // registered ports, in the order they were added
};

// Never destroyed, like the port numbering: a scanner still attached when the
// process's statics are torn down unplugs itself through it.
SPortRegistry& Registry()
{
    static SPortRegistry* const registry = new SPortRegistry();
    return *registry;
}

PortList::iterator FindLocked(const std::string& name)
{
    PortList& ports = Registry().ports;
    return std::find_if(ports.begin(), ports.end(), [&name](const auto& entry) { return entry.first == name; });
}

std::shared_ptr<CVirtualPort> FindPort(const std::string& name)
{
    std::lock_guard<std::mutex> lock(Registry().mutex);
    auto it = FindLocked(name);
    return it == Registry().ports.end() ? nullptr : it->second;
}

class CVirtualTransport final : public CTransport {
public:
    CVirtualTransport(std::shared_ptr<CVirtualPort> port, uint32_t baudRate)
        : m_port(std::move(port)), m_baudRate(baudRate)
    {
    }

    uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& status) override
    {
        if (!m_port->Call([&](const HbdsVirtualDevice& device) { device.receive(device.context, data, count); })) {
            status = HBDS_ERR_NOT_EXIST;
            return 0;
        }
        return count;
    }

    int ReadSome(uint8_t* buffer, uint32_t size, int timeoutMs, uint32_t& status) override
    {
        int got = -1;
        m_port->Call([&](const HbdsVirtualDevice& device) {
            got = device.send(device.context, buffer, size, timeoutMs);
        });
        if (got < 0) {
            status = HBDS_ERR_NOT_EXIST;
            return -1;
        }
        return std::min(got, static_cast<int>(size));
    }

    void DropInput() override
    {
        m_port->Call([](const HbdsVirtualDevice& device) {
            if (device.drop_input)
                device.drop_input(device.context);
        });
    }

    int QuietGapMs() const override { return SerialQuietGapMs(m_baudRate); }

    bool Reconfigure(const SerialSettings& settings, uint32_t& status) override
    {
        if (!TellLine(settings)) {
            status = HBDS_ERR_NOT_EXIST;
            return false;
        }
        m_baudRate = settings.baudRate;
        return true;
    }

    bool TellLine(const SerialSettings& settings)
    {
        return m_port->Call([&settings](const HbdsVirtualDevice& device) {
            if (device.line_changed)
                device.line_changed(device.context, &settings);
        });
    }

private:
    std::shared_ptr<CVirtualPort> m_port;
    uint32_t m_baudRate;
};

}  // namespace

bool IsVirtualPort(const std::string& name)
{
    return FindPort(name) != nullptr;
}

std::vector<std::string> VirtualPortNames()
{
    std::lock_guard<std::mutex> lock(Registry().mutex);
    std::vector<std::string> names;
    for (const auto& entry : Registry().ports)
        names.push_back(entry.first);
    return names;
}

std::unique_ptr<CTransport> OpenVirtualTransport(const std::string& name, const SerialSettings& settings,
                                                 uint32_t& status)
{
    std::shared_ptr<CVirtualPort> port = FindPort(name);
    if (!port) {
        status = HBDS_ERR_NOT_EXIST;
        return nullptr;
    }
    auto transport = std::make_unique<CVirtualTransport>(port, settings.baudRate);
    if (!transport->TellLine(settings)) {
        status = HBDS_ERR_NOT_EXIST;
        return nullptr;
    }
    transport->DropInput();
    status = HBDS_OK;
    return transport;
}

}  // namespace hbds

extern "C" {

uint32_t hbds_add_virtual_port(const char* name, const HbdsVirtualDevice* device)
{
    if (!name || !*name || !device || !device->receive || !device->send)
        return 0;
    {
        std::lock_guard<std::mutex> lock(hbds::Registry().mutex);
        if (hbds::FindLocked(name) != hbds::Registry().ports.end())
            return 0;
        hbds::Registry().ports.emplace_back(name, std::make_shared<hbds::CVirtualPort>(*device));
    }
    return hbds::PortNumberForPath(name);
}

void hbds_remove_virtual_port(uint32_t port)
{
    std::string name;
    if (!hbds::PathForPortNumber(port, name))
        return;
    std::shared_ptr<hbds::CVirtualPort> removed;
    {
        std::lock_guard<std::mutex> lock(hbds::Registry().mutex);
        auto it = hbds::FindLocked(name);
        if (it == hbds::Registry().ports.end())
            return;
        removed = it->second;
        hbds::Registry().ports.erase(it);
    }
    removed->Remove();
}

}  // extern "C"
