// The framing rules the link reads by: where a reply begins behind the scanner's own
// output, and which bytes make a whole packed data frame.
#include "device/ExchangeFrame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

size_t ReplyStart(const std::string& bytes)
{
    return CExchangeFrame::ReplyStart(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

size_t FrameLength(const std::string& bytes)
{
    return CExchangeFrame::LeadingFrameLength(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(ExchangeFrame, AReplyBeginsAtItsHeaderOrAtAPieceThatMayStillBecomeOne)
{
    const struct {
        std::string bytes;
        size_t start;
    } cases[] = {
        {std::string("\x02\x01" "0000@A\x06;\x03"), 0},
        {std::string("6901234567892\r\n\x02\x01" "0000@A\x06;\x03"), 15},
        {std::string("CODE\r\n\x02\x01" "00"), 6},        // the header still arriving
        {std::string("CODE\r\n\x02"), 6},
        {std::string("CODE\r\n\x02\x00\x00\x01;A\x84", 13), 13},  // a packed frame is no reply
        {std::string("\x02\x01" "0001@", 6), 6},       // a wrong header, nothing after it
        {std::string(), 0},
    };
    for (const auto& row : cases)
        EXPECT_EQ(row.start, ReplyStart(row.bytes)) << row.bytes;
}

// 02 00 00 01 ";" "A" and the checksum FF ^ 00 ^ 01 ^ 3B ^ 41 = 84; with the mark "6"
// the length counts the checksum: 02 00 00 02 "6" "A" and FF ^ 00 ^ 02 ^ 36 ^ 41 = 8A.
TEST(ExchangeFrame, APackedFrameIsWholeOnlyWithItsLengthAndChecksum)
{
    const struct {
        std::string bytes;
        size_t length;
    } cases[] = {
        {std::string("\x02\x00\x00\x01;A\x84", 7), 7},
        {std::string("\x02\x00\x00\x01;A\x84" "tail", 11), 7},
        {std::string("\x02\x00\x00\x02" "6A\x8A", 7), 7},
        {std::string("\x02\x00\x00\x01;A\x85", 7), 0},  // checksum
        {std::string("\x02\x00\x00\x01;A", 6), 0},      // cut off
        {std::string("\x02\x00\x00\x01:A\x84", 7), 0},  // mark
        {std::string("\x02\x01" "0000@", 7), 0},        // a reply
    };
    for (const auto& row : cases)
        EXPECT_EQ(row.length, FrameLength(row.bytes)) << row.bytes.size();
}

}  // namespace
