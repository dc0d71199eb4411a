// Internal: serial lines opened directly with termios (pseudo-terminals and other
// ports without a sysfs entry).
#pragma once

#include "Transport.h"

#include <memory>
#include <string>

namespace hbds {

std::unique_ptr<CTransport> OpenTermiosTransport(const std::string& path, const SerialSettings& settings,
                                                 uint32_t& status);

}  // namespace hbds
