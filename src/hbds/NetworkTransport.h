// Internal: serial ports served over the network by a serial-to-network server such as
// ser2net. "rfc2217://HOST:PORT" speaks Telnet with the COM-PORT-OPTION, so the line
// settings travel to the server's port; "tcp://HOST:PORT" is the raw byte stream, its
// line settings fixed at the server. Both are named like any other port path.
#pragma once

#include "Transport.h"

#include <memory>
#include <string>

namespace hbds {

// True when `path` names a network port (by its scheme; the rest is checked at open).
bool IsNetworkPort(const std::string& path);

// Connects to the server and, for RFC 2217, sets the record's line parameters there;
// null with `status` set when the address is malformed or nothing accepts the connection.
std::unique_ptr<CTransport> OpenNetworkTransport(const std::string& path, const SerialSettings& settings,
                                                 uint32_t& status);

// How long a connection may take to be accepted.
constexpr int kNetworkConnectTimeoutMs = 3000;

}  // namespace hbds
