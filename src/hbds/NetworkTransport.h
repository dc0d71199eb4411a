// Internal: serial ports served over the network by a serial-to-network server such as
// ser2net. "rfc2217://HOST:PORT" speaks Telnet with the COM-PORT-OPTION, so the line
// settings travel to the server's port; "tcp://HOST:PORT" is the raw byte stream, its
// line settings fixed at the server. Both are named like any other port path, and both
// can run under TLS ("rfc2217+tls://", "tcp+tls://") when the server has an ssl layer.
#pragma once

#include "Transport.h"

#include <memory>
#include <string>
#include <vector>

namespace hbds {

// True when `path` names a network port (by its scheme; the rest is checked at open).
bool IsNetworkPort(const std::string& path);

// Connects to the server and, for RFC 2217, sets the record's line parameters there;
// null with `status` set when the address is malformed or nothing accepts the connection.
std::unique_ptr<CTransport> OpenNetworkTransport(const std::string& path, const SerialSettings& settings,
                                                 uint32_t& status);

// Why the last network port that could not be opened failed beyond its status (the
// certificate's fault); empty when nothing more is known.
std::string LastNetworkProblem();

// The paths of a ':'-separated port list. A network address keeps its own colons:
// "/dev/pts/4:rfc2217://10.0.0.7:2001:tcp://[::1]:2002" is three paths.
std::vector<std::string> SplitPortList(const std::string& list);

// How long a connection may take to be accepted.
constexpr int kNetworkConnectTimeoutMs = 3000;

}  // namespace hbds
