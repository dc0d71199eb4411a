// How long the simulated scanner takes over what it does. Without a profile it answers
// at once (only the line's own pace slows its bytes), which keeps tests quick; the
// "real" profile behaves like a scanner on a real line, so that the tool's waits and
// time-outs meet the delays they were made for.
#pragma once

#include "SimReply.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// A span of milliseconds; each use draws a value from it.
struct SSimSpan {
    int minMs = 0;
    int maxMs = 0;
};

struct SSimTiming {
    SSimSpan replyLatency;       // from the request's last byte to the reply's first
    size_t burstBytes = 0;       // a long reply pauses after every this many bytes (0: never)
    SSimSpan burstPause;         // the pause inside a long reply
    SSimSpan batchStart;         // from the "WLSSBT" acknowledgement to the first stored byte
    size_t batchBlockBytes = 0;  // stored data goes out in blocks of this many bytes (0: whole codes)
    SSimSpan batchBlockPause;    // between blocks of stored data
    SSimSpan imageQuery;         // more thinking for the imager's option queries
    SSimSpan imageCapture;       // exposure and encoding before a picture's first byte
    int restartMs = -1;          // silence after a download (-1: leave the download's own)
    bool newPathOnRestart = false;  // comes back under another device path after a download

    // The profile of a scanner on a real line; see kSimTimingUsage for the values.
    static SSimTiming Real();
    // Sets the profile named "none" or "real"; false for any other name.
    bool SetProfile(const std::string& name);
    // The profile named in VOSTREL_SIM_TIMING ("none" when unset or unknown).
    static SSimTiming FromEnvironment();
    bool IsNone() const;
};

// The profile's values and why they are what they are, for the program's help.
extern const char kSimTimingUsage[];

// Applies a profile to the scanner's replies. Draws its delays from a generator of its
// own, so that two scanners do not keep step.
class CSimTimer {
public:
    explicit CSimTimer(uint32_t seed = std::random_device{}());

    void Set(const SSimTiming& timing) { m_timing = timing; }
    const SSimTiming& Timing() const { return m_timing; }
    int Draw(const SSimSpan& span);

    // The reply with its latency (and `extra` on top), cut into bursts with pauses
    // between them when it is long. A reply that ends in a hang-up stays whole.
    std::vector<SSimReply> Shape(const SSimReply& reply, const SSimSpan& extra);
    // The stored data (`blocks` of whole codes, each ending in CR LF) as an upload
    // sends it: the first piece after the upload's start delay, the others after a
    // pause each (`gapWithoutProfileMs` between whole blocks without a profile).
    std::vector<SSimReply> Upload(const std::vector<std::string>& blocks, int gapWithoutProfileMs);

private:
    SSimTiming m_timing;
    std::mt19937 m_random;
};
