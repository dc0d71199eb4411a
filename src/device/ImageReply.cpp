#include "ImageReply.h"

#include <cstdio>
#include <cstring>

namespace {

// STX, SOH, "0000" and the character after them.
constexpr size_t kReplyHeaderLength = 7;
// The image length: eight hexadecimal digits, most significant byte first.
constexpr size_t kLengthFieldLength = 8;
// "%dW%dH" is looked for in at most this many characters.
constexpr size_t kMaxSizeFieldLength = 31;

size_t EchoLength(bool sizeInReply, bool qualityInRequest)
{
    // "IMGGET" with three one-digit numbers and their letters, or "IMGBGT", the
    // format digit and "F"; the quality digit and "Q" when they were sent.
    return (sizeInReply ? 8 : 12) + (qualityInRequest ? 2 : 0);
}

bool ParseHexLength(const uint8_t* digits, size_t& length)
{
    length = 0;
    for (size_t i = 0; i < kLengthFieldLength; ++i) {
        const uint8_t c = digits[i];
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else
            return false;
        length = (length << 4) | static_cast<size_t>(value);
    }
    return true;
}

// "%dW%dH" at the start of `field`; zeros when it does not read so.
void ParseSizeField(const uint8_t* field, size_t fieldLength, int& width, int& height)
{
    char text[kMaxSizeFieldLength + 1] = {};
    std::memcpy(text, field, fieldLength);
    if (std::sscanf(text, "%dW%dH", &width, &height) != 2) {
        width = 0;
        height = 0;
    }
}

void PutLittleEndian(std::vector<uint8_t>& out, size_t at, uint32_t value, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

const char* CheckImageReply(const uint8_t* bytes, size_t size, bool sizeInReply, bool qualityInRequest,
                            SImageReplyLayout& layout)
{
    layout = SImageReplyLayout();
    if (!bytes || size < 30)
        return "dwSize<30";
    const size_t echo = EchoLength(sizeInReply, qualityInRequest);
    size_t sizeField = 0;
    if (sizeInReply) {
        if (size < echo + 8)
            return "dwSize<8+nCmdLen";
        const size_t start = kReplyHeaderLength + echo;
        for (size_t i = 0; i < kMaxSizeFieldLength && start + i < size; ++i) {
            if (bytes[start + i] == 'H') {
                sizeField = i + 1;
                break;
            }
        }
        if (sizeField == 0)
            return "!bFindH";
        ParseSizeField(bytes + start, sizeField, layout.width, layout.height);
    }
    const char* const tooLong = "dwLen > dwSize - nCmdLen - HEADERLEN - STORAGELEN - nRatioLen";
    const size_t lengthAt = kReplyHeaderLength + echo + sizeField;
    size_t length = 0;
    // The picture must lie wholly inside what was received: the length field
    // included, so a lying length can never send a reader past the end.
    if (lengthAt + kLengthFieldLength > size || !ParseHexLength(bytes + lengthAt, length) ||
        length > size - lengthAt - kLengthFieldLength)
        return tooLong;
    layout.offset = lengthAt + kLengthFieldLength;
    layout.length = length;
    return nullptr;
}

bool RawGreyToBmp(const uint8_t* pixels, size_t length, int width, int height, std::vector<uint8_t>& bmp)
{
    bmp.clear();
    if (!pixels || width <= 0 || height <= 0 ||
        length != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 3) / 4 * 4;
    const size_t imageSize = rowBytes * static_cast<size_t>(height);
    bmp.assign(kGreyBmpHeaderSize + imageSize, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    PutLittleEndian(bmp, 2, static_cast<uint32_t>(bmp.size()), 4);
    PutLittleEndian(bmp, 10, kGreyBmpHeaderSize, 4);
    PutLittleEndian(bmp, 14, 40, 4);
    PutLittleEndian(bmp, 18, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bmp, 22, static_cast<uint32_t>(height), 4);
    PutLittleEndian(bmp, 26, 1, 2);
    PutLittleEndian(bmp, 28, 8, 2);
    PutLittleEndian(bmp, 34, static_cast<uint32_t>(imageSize), 4);
    PutLittleEndian(bmp, 46, 256, 4);
    PutLittleEndian(bmp, 50, 256, 4);
    for (uint32_t i = 0; i < 256; ++i) {
        uint8_t* entry = &bmp[54 + 4 * i];
        entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
    }
    for (int row = 0; row < height; ++row) {
        const uint8_t* source = pixels + static_cast<size_t>(row) * static_cast<size_t>(width);
        uint8_t* target = &bmp[kGreyBmpHeaderSize + static_cast<size_t>(height - 1 - row) * rowBytes];
        std::memcpy(target, source, static_cast<size_t>(width));
    }
    return true;
}
