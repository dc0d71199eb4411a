#include "DeviceEntry.h"

#include "DeviceInfo.h"

#include <cstring>

DeviceEntry::DeviceEntry()
{
    std::memset(&usb, 0, sizeof usb);
    std::memset(&serial, 0, sizeof serial);
}

DeviceEntry::~DeviceEntry()
{
    if (handle != 0)
        hbds_destory(handle);
}

wxString PortPathOf(const DeviceEntry& entry)
{
    if (entry.kind == DEVICE_KIND_USB)
        return wxString::FromUTF8(entry.usb.path);
    char path[512] = {};
    if (hbds_serial_port_path(entry.serial.port, path, sizeof path) == 0)
        return wxString::Format("port %u", static_cast<unsigned>(entry.serial.port));
    return wxString::FromUTF8(path);
}
