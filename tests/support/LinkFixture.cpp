#include "LinkFixture.h"

#include "HBDataStreamMnt.h"

DeviceEntry* OpenTestDevice(uint32_t port, uint32_t baudRate, int32_t readTimeoutMs)
{
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial.port = port;
    entry->serial.baudRate = baudRate;
    entry->serial.dataBits = 8;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.SetReadTimeout(readTimeoutMs);
    DeviceEntry* added = link.AddDevice(std::move(entry));
    return link.OpenDevice(added) ? added : nullptr;
}

DeviceEntry* OpenTestDevice(const std::string& path, uint32_t baudRate, int32_t readTimeoutMs)
{
    return OpenTestDevice(hbds_add_serial_path(path.c_str()), baudRate, readTimeoutMs);
}
