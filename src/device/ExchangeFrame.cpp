#include "ExchangeFrame.h"

#include <algorithm>
#include <cstring>

const wchar_t CExchangeFrame::kRequestHeader[] = L"~\x01" L"0000";
const uint8_t CExchangeFrame::kReplyHeader[] = {0x02, 0x01, '0', '0', '0', '0'};
const uint8_t CExchangeFrame::kTerminator[] = {';', 0x03};

namespace {

// Bytes of a packed frame around its payload: STX, 0x00, two length bytes, the mark,
// and the checksum for the ";" mark, whose length counts one byte less.
const size_t kFrameHead = 5;

}  // namespace

bool CExchangeFrame::IsReplyComplete(const uint8_t* bytes, size_t n)
{
    if (!bytes || n == 0)
        return false;
    if (std::memcmp(bytes, kReplyHeader, std::min(n, kReplyHeaderLength)) != 0)
        return true;
    if (n < 8)
        return false;
    return bytes[n - 1] == 0x03 && bytes[n - 2] == ';';
}

size_t CExchangeFrame::ReplyStart(const uint8_t* bytes, size_t n)
{
    if (!bytes)
        return 0;
    for (size_t at = 0; at < n; ++at) {
        const size_t compared = std::min(n - at, kReplyHeaderLength);
        if (std::memcmp(bytes + at, kReplyHeader, compared) == 0)
            return at;
    }
    return n;
}

bool CExchangeFrame::CheckFrame(const uint8_t* bytes, size_t n, uint8_t& mark)
{
    mark = 0;
    if (!bytes || n < 6 || bytes[0] != 0x02 || bytes[1] != 0x00)
        return false;
    mark = bytes[4];
    const size_t length = static_cast<size_t>(bytes[2]) * 256 + bytes[3];
    if (mark == ';') {
        if (n != length + 6)
            return false;
    } else if (mark == '6') {
        if (n != length + 5)
            return false;
    } else {
        return false;
    }
    uint8_t check = 0xFF;
    for (size_t i = 2; i <= n - 2; ++i)
        check ^= bytes[i];
    return check == bytes[n - 1];
}

size_t CExchangeFrame::LeadingFrameLength(const uint8_t* bytes, size_t n)
{
    if (!bytes || n < kFrameHead + 1 || bytes[0] != 0x02 || bytes[1] != 0x00)
        return 0;
    const size_t length = static_cast<size_t>(bytes[2]) * 256 + bytes[3];
    const size_t total = length + (bytes[4] == '6' ? 5 : 6);
    uint8_t mark = 0;
    return total <= n && CheckFrame(bytes, total, mark) ? total : 0;
}
