// One answer of the simulated scanner, with the way it should reach the wire.
#pragma once

#include <string>

struct SSimReply {
    std::string bytes;
    int delayMs = 0;          // wait before the first byte
    int byteGapMs = 0;        // extra wait between bytes, on top of the line's pace
    bool disconnect = false;  // the link drops once these bytes are out
};
