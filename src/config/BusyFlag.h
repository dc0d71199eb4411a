// The one exchange at a time rule: set while the configuration page writes a file or
// starts a write to the scanner; every other part that would talk to the scanner
// looks at it first.
#pragma once

#include <atomic>

inline std::atomic<bool>& ProcessBusyFlag()
{
    static std::atomic<bool> busy{false};
    return busy;
}

inline bool IsProcessBusy()
{
    return ProcessBusyFlag().load();
}

// Sets the flag for the lifetime of the object.
class CBusyScope {
public:
    CBusyScope() { ProcessBusyFlag() = true; }
    ~CBusyScope() { ProcessBusyFlag() = false; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;
};
