// Internal: rules shared by both ways of driving a serial line.
#pragma once

#include <cstdint>

namespace hbds {

// Status code for the errno of a failed open.
uint32_t StatusForOpenErrno(int error);

// Status code for the errno of a failed read or write on an open line.
uint32_t StatusForIoErrno(int error);

// Quiet time after which a read that has data ends.
int SerialQuietGapMs(uint32_t baudRate);

}  // namespace hbds
