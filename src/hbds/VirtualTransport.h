// Internal: ports whose device lives in this process (hbds_add_virtual_port). They
// share the numbering of serial ports, their names standing in for device paths.
#pragma once

#include "Transport.h"

#include <memory>
#include <string>
#include <vector>

namespace hbds {

// True while a virtual port is registered under `name`.
bool IsVirtualPort(const std::string& name);

// Names of the registered virtual ports, in the order they were added.
std::vector<std::string> VirtualPortNames();

// Opens the virtual port `name` and tells its device the line parameters; null with
// `status` set when no such port is registered.
std::unique_ptr<CTransport> OpenVirtualTransport(const std::string& name, const SerialSettings& settings,
                                                 uint32_t& status);

}  // namespace hbds
