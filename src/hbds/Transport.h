// Internal: one open link to a scanner. The C operations of hbds.h own a table of
// connections, each holding at most one transport while open.
#pragma once

#include "hbds.h"

#include <cstddef>
#include <cstdint>

namespace hbds {

class CTransport {
public:
    virtual ~CTransport() = default;

    // Bytes written; 0 with `status` set on failure.
    virtual uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& status) = 0;

    // Waits at most `timeoutMs` for input and returns what is there, up to `size` bytes.
    // 0 means nothing came; a negative result is a failure with `status` set.
    virtual int ReadSome(uint8_t* buffer, uint32_t size, int timeoutMs, uint32_t& status) = 0;

    virtual void DropInput() = 0;

    // Gap in milliseconds after which a quiet line ends a read that has data.
    virtual int QuietGapMs() const = 0;

    virtual bool Reconfigure(const SerialSettings& settings, uint32_t& status)
    {
        (void)settings;
        status = HBDS_ERR_INVALID_PARAMS;
        return false;
    }
};

// An upper bound of the time one byte takes on the line of an open connection, in
// milliseconds (0 when it is not open), so that a long packet is waited for long enough.
double LineByteMs(HBDS_HANDLE handle);

}  // namespace hbds
