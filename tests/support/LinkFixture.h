// Making a test scanner the link's current device in one call.
#pragma once

#include "device/DeviceEntry.h"

#include <cstdint>
#include <string>

// Adds a serial entry for port number `port` (8 data bits) at `baudRate`, sets the
// link's read time-out and opens it. Null when it cannot be opened.
DeviceEntry* OpenTestDevice(uint32_t port, uint32_t baudRate = 115200, int32_t readTimeoutMs = 2000);
// The same for a port given by path (a pseudo-terminal).
DeviceEntry* OpenTestDevice(const std::string& path, uint32_t baudRate = 115200, int32_t readTimeoutMs = 2000);
