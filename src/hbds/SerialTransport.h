// Internal: serial ports through libserialport.
#pragma once

#include "Transport.h"

#include <memory>
#include <string>
#include <vector>

namespace hbds {

// Opens `path` with the record's line parameters; null with `status` set on failure.
std::unique_ptr<CTransport> OpenSerialTransport(const std::string& path, const SerialSettings& settings,
                                                uint32_t& status);

// Device paths of the serial ports the system lists.
std::vector<std::string> ListSystemSerialPorts();

}  // namespace hbds
