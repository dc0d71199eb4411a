// Misbehaviour the simulated scanner is told to show, so that the tool's handling of
// broken links can be exercised.
#pragma once

#include <set>
#include <string>

enum class ESimGarbage { None, BeforeReply, InsteadOfReply };

struct SSimFaultPlan {
    bool silence = false;                 // answer nothing at all
    std::set<std::string> nakCommands;    // answered with NAK, nothing changes
    std::set<std::string> enqCommands;    // answered with ENQ as if unknown
    ESimGarbage garbage = ESimGarbage::None;
    std::string garbageBytes = std::string("\xFF\x00\x13\x7E\x55\xAA", 6);
    long cutAfter = -1;                   // reply ends after this many bytes (-1: whole)
    long disconnectAfter = -1;            // link drops after this many reply bytes (-1: never)
    long repliesBeforeDisconnect = 0;     // replies that go out whole before the drop applies
    int delayMs = 0;                      // wait before the first reply byte
    int byteGapMs = 0;                    // extra wait between reply bytes

    // Adds one fault written as in the program's --fault option ("silence", "garbage",
    // "garbage:instead", "cut:N", "disconnect:N", "disconnect:N:K", "slow:MS", "slow:MS:GAP", "nak:CMD",
    // "enq:CMD"); false when the text is none of these.
    bool Add(const std::string& option);
};
