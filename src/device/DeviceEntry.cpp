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
