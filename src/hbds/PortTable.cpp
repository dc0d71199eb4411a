#include "PortTable.h"

#include "NetworkTransport.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace hbds {
namespace {

struct SPortTable {
    std::mutex mutex;
    std::vector<std::string> numbered;   // port number n is numbered[n - 1]
    std::vector<std::string> userPaths;  // added by the program or the environment
    bool environmentRead = false;
};

// Never destroyed: destructors of the program's static objects (an attached
// simulated scanner, the link manager) still unplug and close ports while the
// process's statics are torn down in an order no file controls.
SPortTable& Table()
{
    static SPortTable* const table = new SPortTable();
    return *table;
}

uint32_t NumberLocked(const std::string& path)
{
    std::vector<std::string>& numbered = Table().numbered;
    auto it = std::find(numbered.begin(), numbered.end(), path);
    if (it != numbered.end())
        return static_cast<uint32_t>(it - numbered.begin()) + 1;
    numbered.push_back(path);
    return static_cast<uint32_t>(numbered.size());
}

void AddUserPathLocked(const std::string& path)
{
    if (path.empty())
        return;
    std::vector<std::string>& userPaths = Table().userPaths;
    if (std::find(userPaths.begin(), userPaths.end(), path) == userPaths.end())
        userPaths.push_back(path);
}

void ReadEnvironmentLocked()
{
    if (Table().environmentRead)
        return;
    Table().environmentRead = true;
    const char* list = std::getenv("VOSTREL_SERIAL_PORTS");
    if (!list)
        return;
    for (const std::string& path : SplitPortList(list))
        AddUserPathLocked(path);
}

}  // namespace

uint32_t PortNumberForPath(const std::string& path)
{
    std::lock_guard<std::mutex> lock(Table().mutex);
    return NumberLocked(path) & 0xFFFFu;
}

bool PathForPortNumber(uint32_t port, std::string& path)
{
    std::lock_guard<std::mutex> lock(Table().mutex);
    port &= 0xFFFFu;
    if (port == 0 || port > Table().numbered.size())
        return false;
    path = Table().numbered[port - 1];
    return true;
}

void AddUserPath(const std::string& path)
{
    std::lock_guard<std::mutex> lock(Table().mutex);
    AddUserPathLocked(path);
}

std::vector<std::string> UserPaths()
{
    std::lock_guard<std::mutex> lock(Table().mutex);
    ReadEnvironmentLocked();
    return Table().userPaths;
}

void ClearUserPaths()
{
    std::lock_guard<std::mutex> lock(Table().mutex);
    Table().userPaths.clear();
    Table().environmentRead = true;  // a cleared list stays cleared
}

}  // namespace hbds
