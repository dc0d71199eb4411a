// How fast bytes may leave the scanner: a serial line carries ten bits per byte
// (start, eight data bits, stop) at its baud rate.
#pragma once

#include <chrono>
#include <cstdint>

class CSimLinePacer {
public:
    // The wire time of one byte at `baudRate` (at least one microsecond).
    static std::chrono::microseconds ByteTime(uint32_t baudRate);
};
