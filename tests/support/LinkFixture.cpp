#include "LinkFixture.h"

#include "device/HBDataStreamMnt.h"

DeviceEntry* OpenTestDevice(uint32_t port, uint32_t baudRate, int32_t readTimeoutMs)
{
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial.port = port;
    entry->serial.baudRate = baudRate;
    entry->serial.dataBits = 8;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.SetReadTimeout(readTimeoutMs);
    // As the program does it: a job on the line's thread (a window test's own thread
    // must not take the line), which the test waits for.
    DeviceEntry* added = nullptr;
    link.Jobs().Run(LineUsers::kConnect, [&](CLineJob&) {
        added = link.AddDevice(std::move(entry));
        return link.OpenDevice(added);
    });
    return added && link.IsOpen() && link.GetCurrentDevice() == added ? added : nullptr;
}

DeviceEntry* OpenTestDevice(const std::string& path, uint32_t baudRate, int32_t readTimeoutMs)
{
    return OpenTestDevice(hbds_add_serial_path(path.c_str()), baudRate, readTimeoutMs);
}
