#include "SimulatorAttach.h"

#include "InProcessScanner.h"
#include "SimScanSetup.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

// The attached scanners live until they are detached; the program detaches those
// left at its end.
std::mutex g_mutex;
std::map<uint32_t, std::unique_ptr<CInProcessScanner>> g_attached;

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

// Starts `scanner` under the first free one of "sim:NAME", "sim:NAME-2", ...
uint32_t StartUnderFreeName(std::unique_ptr<CSimulatedScanner> scanner, std::unique_ptr<CInProcessScanner>& started)
{
    const std::string base = "sim:" + scanner->Profile().productName;
    for (int n = 1; n <= 64; ++n) {
        const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        auto candidate = std::make_unique<CInProcessScanner>(std::move(scanner), name);
        const uint32_t port = candidate->Start();
        if (port != 0) {
            started = std::move(candidate);
            return port;
        }
        scanner = candidate->TakeScanner();
    }
    return 0;
}

}  // namespace

uint32_t AttachSimulatedScanner(const std::string& modelPath, const std::string& productName, std::string* error,
                                uint32_t baudRate)
{
    SSimScannerProfile profile;
    if (!productName.empty())
        profile.productName = productName;
    profile.baudRate = baudRate;
    std::string reason;
    std::unique_ptr<CSimulatedScanner> scanner = CSimulatedScanner::FromModelFile(modelPath, profile, reason);
    SSimScanSetup scans;
    if (!scanner || !scans.ReadEnvironment(reason) || !scans.ApplyTo(*scanner, reason)) {
        SetError(error, reason);
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    std::unique_ptr<CInProcessScanner> started;
    const uint32_t port = StartUnderFreeName(std::move(scanner), started);
    if (port == 0) {
        SetError(error, "no free port name for " + profile.productName);
        return 0;
    }
    g_attached[port] = std::move(started);
    return port;
}

bool DetachSimulatedScanner(uint32_t port)
{
    std::unique_ptr<CInProcessScanner> detached;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = g_attached.find(port);
        if (it == g_attached.end())
            return false;
        detached = std::move(it->second);
        g_attached.erase(it);
    }
    return true;  // `detached` unplugs the port as it goes
}

void DetachAllSimulatedScanners()
{
    std::map<uint32_t, std::unique_ptr<CInProcessScanner>> detached;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        detached.swap(g_attached);
    }
    // Unplugging waits for calls in progress, so it happens outside the lock.
}
