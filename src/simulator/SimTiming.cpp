#include "SimTiming.h"

#include <algorithm>
#include <cstdlib>

const char kSimTimingUsage[] =
    "Timing (--timing none|real, or VOSTREL_SIM_TIMING for in-process scanners; default none):\n"
    "  none             replies start at once; only the line rate paces the bytes\n"
    "  real             a scanner on a real line:\n"
    "    reply latency 20-60 ms        the decoder finishes what it does before it parses a request\n"
    "    long replies pause 20-150 ms  after every 1024 bytes, as the scanner refills its UART or USB buffer\n"
    "    stored data starts 1000-3000 ms after the WLSSBT acknowledgement (the flash is read first),\n"
    "                      then comes in blocks of 100 bytes that may cut a code, 20-300 ms apart\n"
    "    image queries 40-100 ms more  the imager wakes its sensor to report its options\n"
    "    capture 300-600 ms            exposure and encoding before a picture's first byte\n"
    "    restart 4000 ms               a firmware restart boots the new image (a --fw-fault restart:MS wins)\n"
    "    wrong rate: no answer         what arrives at another rate is noise to the scanner's UART\n"
    "  --batch-start MS                the stored-data upload starts exactly MS ms after the\n"
    "                      acknowledgement (with or without a profile), to try a fetch against a given delay\n"
    "  --new-path-on-restart yes       after a download the scanner comes back on another\n"
    "                      pseudo-terminal, as a USB device re-enumerates; the simulator prints\n"
    "                      \"restart path PATH\" at the start and after each restart, the path it\n"
    "                      will come back on, so that a search can be told of it\n";

SSimTiming SSimTiming::Real()
{
    SSimTiming timing;
    timing.replyLatency = {20, 60};
    timing.burstBytes = 1024;
    timing.burstPause = {20, 150};
    timing.batchStart = {1000, 3000};
    timing.batchBlockBytes = 100;
    timing.batchBlockPause = {20, 300};
    timing.imageQuery = {40, 100};
    timing.imageCapture = {300, 600};
    timing.restartMs = 4000;
    return timing;
}

bool SSimTiming::SetProfile(const std::string& name)
{
    const bool newPath = newPathOnRestart;
    if (name == "none")
        *this = SSimTiming();
    else if (name == "real")
        *this = Real();
    else
        return false;
    newPathOnRestart = newPath;
    return true;
}

SSimTiming SSimTiming::FromEnvironment()
{
    SSimTiming timing;
    const char* name = std::getenv("VOSTREL_SIM_TIMING");
    if (name)
        timing.SetProfile(name);
    return timing;
}

bool SSimTiming::IsNone() const
{
    return replyLatency.maxMs == 0 && burstBytes == 0 && batchStart.maxMs == 0 && batchBlockBytes == 0 &&
           imageQuery.maxMs == 0 && imageCapture.maxMs == 0;
}

CSimTimer::CSimTimer(uint32_t seed) : m_random(seed) {}

int CSimTimer::Draw(const SSimSpan& span)
{
    if (span.maxMs <= span.minMs)
        return std::max(span.minMs, 0);
    return std::uniform_int_distribution<int>(span.minMs, span.maxMs)(m_random);
}

std::vector<SSimReply> CSimTimer::Shape(const SSimReply& reply, const SSimSpan& extra)
{
    SSimReply first = reply;
    first.delayMs += Draw(m_timing.replyLatency) + Draw(extra);
    const size_t burst = m_timing.burstBytes;
    if (burst == 0 || reply.disconnect || reply.bytes.size() <= burst)
        return {first};
    std::vector<SSimReply> bursts;
    for (size_t at = 0; at < reply.bytes.size(); at += burst) {
        SSimReply piece = at == 0 ? first : reply;
        piece.bytes = reply.bytes.substr(at, burst);
        if (at != 0)
            piece.delayMs = Draw(m_timing.burstPause);
        bursts.push_back(piece);
    }
    return bursts;
}

std::vector<SSimReply> CSimTimer::Upload(const std::vector<std::string>& blocks, int gapWithoutProfileMs)
{
    std::vector<SSimReply> replies;
    if (m_timing.batchBlockBytes == 0) {
        for (const std::string& block : blocks) {
            SSimReply data;
            data.bytes = block;
            data.delayMs = replies.empty() ? Draw(m_timing.batchStart) + gapWithoutProfileMs : gapWithoutProfileMs;
            replies.push_back(data);
        }
        return replies;
    }
    // A scanner reads its flash page by page, whatever the codes: a block may end
    // inside a code.
    std::string all;
    for (const std::string& block : blocks)
        all += block;
    for (size_t at = 0; at < all.size(); at += m_timing.batchBlockBytes) {
        SSimReply data;
        data.bytes = all.substr(at, m_timing.batchBlockBytes);
        data.delayMs = at == 0 ? Draw(m_timing.batchStart) : Draw(m_timing.batchBlockPause);
        replies.push_back(data);
    }
    return replies;
}
