// Internal: USB HID point-of-sale scanners through hidapi.
#pragma once

#include "Transport.h"

#include <memory>

namespace hbds {

int EnumerateHidPosDevices(UsbDeviceInfo* devices, uint32_t room);
std::unique_ptr<CTransport> OpenHidTransport(const UsbDeviceInfo& device, uint32_t& status);

}  // namespace hbds
