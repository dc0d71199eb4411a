// Internal: the process-wide numbering of serial ports. Windows-style port numbers
// are kept in the records so that a number stands for one device path for the life
// of the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hbds {

uint32_t PortNumberForPath(const std::string& path);
bool PathForPortNumber(uint32_t port, std::string& path);
void AddUserPath(const std::string& path);
std::vector<std::string> UserPaths();
void ClearUserPaths();

}  // namespace hbds
