// The scanner's image reply: where the picture lies in it, the checks a reply must
// pass, and raw grey pixels turned into a BMP file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SImageReplyLayout {
    size_t offset = 0;  // first picture byte
    size_t length = 0;  // picture bytes announced (and present)
    int width = 0;      // from the reply when it carries the size, else 0
    int height = 0;
};

// Checks an image reply of `size` bytes. `sizeInReply` for "IMGBGT" requests (the
// reply carries "%dW%dH" before the length), `qualityInRequest` when "%dQ" was sent.
// Null when the reply is usable (with `layout` filled), otherwise the text of the
// check that failed, as the log names it.
const char* CheckImageReply(const uint8_t* bytes, size_t size, bool sizeInReply, bool qualityInRequest,
                            SImageReplyLayout& layout);

// The BMP file of `width` × `height` grey pixels given top row first: a 1078-byte
// header (file and information headers, 256-entry grey palette) and the rows bottom
// row first, each padded to a multiple of 4 bytes. False (and `bmp` empty) when
// `length` is not width × height.
bool RawGreyToBmp(const uint8_t* pixels, size_t length, int width, int height, std::vector<uint8_t>& bmp);

// Size of the headers and palette in front of the rows of an 8-bit BMP.
constexpr size_t kGreyBmpHeaderSize = 1078;
