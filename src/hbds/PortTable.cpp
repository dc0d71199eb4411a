#include "PortTable.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace hbds {
namespace {

std::mutex g_mutex;
std::vector<std::string> g_numbered;   // port number n is g_numbered[n - 1]
std::vector<std::string> g_userPaths;  // added by the program or the environment
bool g_environmentRead = false;

uint32_t NumberLocked(const std::string& path)
{
    auto it = std::find(g_numbered.begin(), g_numbered.end(), path);
    if (it != g_numbered.end())
        return static_cast<uint32_t>(it - g_numbered.begin()) + 1;
    g_numbered.push_back(path);
    return static_cast<uint32_t>(g_numbered.size());
}

void AddUserPathLocked(const std::string& path)
{
    if (path.empty())
        return;
    if (std::find(g_userPaths.begin(), g_userPaths.end(), path) == g_userPaths.end())
        g_userPaths.push_back(path);
}

void ReadEnvironmentLocked()
{
    if (g_environmentRead)
        return;
    g_environmentRead = true;
    const char* list = std::getenv("VOSTREL_SERIAL_PORTS");
    if (!list)
        return;
    std::string text(list);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(':', start);
        if (end == std::string::npos)
            end = text.size();
        AddUserPathLocked(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

uint32_t PortNumberForPath(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return NumberLocked(path) & 0xFFFFu;
}

bool PathForPortNumber(uint32_t port, std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    port &= 0xFFFFu;
    if (port == 0 || port > g_numbered.size())
        return false;
    path = g_numbered[port - 1];
    return true;
}

void AddUserPath(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    AddUserPathLocked(path);
}

std::vector<std::string> UserPaths()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    ReadEnvironmentLocked();
    return g_userPaths;
}

void ClearUserPaths()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_userPaths.clear();
    g_environmentRead = true;  // a cleared list stays cleared
}

}  // namespace hbds
