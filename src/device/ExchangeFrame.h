// The framing of the command protocol as the link sees it: where a reply begins,
// when it is whole, how large it may grow, and the packed data frames a scanner
// sends on its own. The link manager reads by these rules; the configuration
// engine packs and parses the text inside the frames.
#pragma once

#include <cstddef>
#include <cstdint>

class CExchangeFrame {
public:
    // "~", SOH, "0000" opens every request; STX, SOH, "0000" every reply.
    static const wchar_t kRequestHeader[];
    static constexpr size_t kRequestHeaderLength = 6;
    static const uint8_t kReplyHeader[];
    static constexpr size_t kReplyHeaderLength = 6;
    // Every reply ends in ";" ETX.
    static const uint8_t kTerminator[];
    static constexpr size_t kTerminatorLength = 2;

    // A settings reply of the largest model ("@*") is some tens of kilobytes; a reply
    // that passes this is a broken scanner or something else on the port.
    static constexpr size_t kMostReplyBytes = 1024 * 1024;
    // A scanner sends its reply at the pace of its line. Counted from the first byte, a
    // reply that has not ended this long after its bytes' time on the line (twice over)
    // is trickling in from something that will never end it.
    static constexpr uint32_t kReplyDeadlineMs = 5000;
    // What a scanner sends by itself is read in steps of at most this much, so that
    // the line is given back between them.
    static constexpr size_t kMostDeviceBlock = 4096;

    // True when the bytes received so far make a whole reply, or cannot become one:
    // data that does not start like a reply ends the read at once.
    static bool IsReplyComplete(const uint8_t* bytes, size_t n);
    // Where a reply may begin among bytes that can start with the scanner's own data
    // (a code it has just read): the offset of the reply header, or of a piece at the
    // end that may still grow into one; `n` when there is neither.
    static size_t ReplyStart(const uint8_t* bytes, size_t n);

    // Validates a packed data frame: STX, 0x00, a length (two bytes, high first), the
    // mark ";" or "6", the payload and a checksum (0xFF exclusive-or every byte from
    // the length on). `mark` receives the mark byte.
    static bool CheckFrame(const uint8_t* bytes, size_t n, uint8_t& mark);
    // The length of the valid packed frame at the start of `bytes`; 0 when none is.
    static size_t LeadingFrameLength(const uint8_t* bytes, size_t n);
};
