// Cuts the byte stream the tool sends into request frames ("~" 0x01 ... ";" 0x03).
// Bytes outside a frame are dropped; a frame that a new start interrupts is dropped
// too, so a cut request never swallows the next one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CSimFrameAssembler {
public:
    // Adds received bytes; returns the frames they complete, oldest first.
    std::vector<std::string> Push(const uint8_t* data, size_t count);
    void Clear() { m_pending.clear(); }

private:
    // Moves one finished frame out of m_pending; false when none is finished yet.
    bool TakeFrame(std::string& frame);

    std::string m_pending;
};
