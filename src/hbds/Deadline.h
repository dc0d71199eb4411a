// Internal: the clock, deadlines and status reports the connections, the network
// transport, TLS and firmware transfer share.
#pragma once

#include <chrono>
#include <cstdint>

namespace hbds {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, 0 once it has passed: the form poll() takes.
inline int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The entry points report through an optional status pointer.
inline void SetStatus(uint32_t* status, uint32_t value)
{
    if (status)
        *status = value;
}

}  // namespace hbds
