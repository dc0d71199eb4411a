#include "BmpImage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const size_t kFileHeaderSize = 14;
const size_t kInfoHeaderSize = 40;

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

bool IsDark(uint8_t r, uint8_t g, uint8_t b)
{
    return r + g + b < 3 * 128;
}

// One pixel's darkness from a row of the file, for every depth DecodeBmp reads.
bool PixelIsDark(const uint8_t* row, int x, int bitsPerPixel, const uint8_t* palette, size_t paletteCount)
{
    if (bitsPerPixel >= 24) {
        const uint8_t* p = row + static_cast<size_t>(x) * (bitsPerPixel / 8);
        return IsDark(p[2], p[1], p[0]);
    }
    const int bitOffset = x * bitsPerPixel;
    const int shift = 8 - bitsPerPixel - bitOffset % 8;
    const size_t index = (row[bitOffset / 8] >> shift) & ((1u << bitsPerPixel) - 1);
    if (index >= paletteCount)
        return true;
    const uint8_t* colour = palette + index * 4;  // blue, green, red, reserved
    return IsDark(colour[2], colour[1], colour[0]);
}

}  // namespace

bool SMonoImage::IsWhite(int x, int y) const
{
    return (bits[static_cast<size_t>(y) * RowBytes() + x / 8] >> (7 - x % 8)) & 1;
}

void SMonoImage::SetWhite(int x, int y, bool white)
{
    uint8_t& byte = bits[static_cast<size_t>(y) * RowBytes() + x / 8];
    const uint8_t mask = static_cast<uint8_t>(0x80 >> (x % 8));
    byte = white ? (byte | mask) : (byte & ~mask);
}

std::vector<uint8_t> EncodeBmp(const SMonoImage& image)
{
    const size_t rowBytes = (image.RowBytes() + 3) / 4 * 4;
    const size_t paletteSize = 8;
    const size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteSize;
    const size_t fileSize = pixelOffset + rowBytes * image.height;
    std::vector<uint8_t> out(fileSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, static_cast<uint32_t>(fileSize));
    PutU32(out, 10, static_cast<uint32_t>(pixelOffset));
    PutU32(out, 14, kInfoHeaderSize);
    PutU32(out, 18, static_cast<uint32_t>(image.width));
    PutU32(out, 22, static_cast<uint32_t>(image.height));
    PutU16(out, 26, 1);
    PutU16(out, 28, 1);
    PutU32(out, 34, static_cast<uint32_t>(rowBytes * image.height));
    PutU32(out, 38, 23622);  // 600 dots per inch, in dots per metre
    PutU32(out, 42, 23622);
    PutU32(out, 46, 2);
    // Palette: index 0 black, index 1 white, so the picture's bits go over unchanged.
    out[kFileHeaderSize + kInfoHeaderSize + 4] = 0xFF;
    out[kFileHeaderSize + kInfoHeaderSize + 5] = 0xFF;
    out[kFileHeaderSize + kInfoHeaderSize + 6] = 0xFF;
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* source = image.bits.data() + static_cast<size_t>(y) * image.RowBytes();
        std::memcpy(out.data() + pixelOffset + rowBytes * (image.height - 1 - y), source, image.RowBytes());
    }
    return out;
}

bool ReadBmpSize(const uint8_t* data, size_t size, int& width, int& height)
{
    if (!data || size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M')
        return false;
    width = static_cast<int32_t>(ReadU32(data + 18));
    height = static_cast<int32_t>(ReadU32(data + 22));
    // The sign of the height only says which row comes first; the most negative
    // height has no positive counterpart and is no picture.
    return height != INT32_MIN;
}

size_t ReadBmpFileSize(const uint8_t* data, size_t size)
{
    if (!data || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M')
        return 0;
    return ReadU32(data + 2);
}

bool DecodeBmp(const uint8_t* data, size_t size, SMonoImage& image)
{
    int width = 0;
    int height = 0;
    if (!ReadBmpSize(data, size, width, height))
        return false;
    const uint32_t infoSize = ReadU32(data + 14);
    const int bitsPerPixel = ReadU16(data + 28);
    const uint32_t compression = ReadU32(data + 30);
    const bool topFirst = height < 0;
    height = std::abs(height);
    const bool knownDepth = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24 ||
                            bitsPerPixel == 32;
    // Bit-field masks (3) only appear with 32 bits here, in the usual order.
    const bool plain = compression == 0 || (compression == 3 && bitsPerPixel == 32);
    if (!knownDepth || !plain || width <= 0 || height == 0 || width > 65535 || height > 65535 ||
        infoSize < kInfoHeaderSize || kFileHeaderSize + infoSize > size)
        return false;
    const size_t pixelOffset = ReadU32(data + 10);
    const size_t rowBytes = (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset > size || rowBytes * height > size - pixelOffset)
        return false;
    const uint8_t* palette = data + kFileHeaderSize + infoSize;
    const size_t paletteCount = pixelOffset >= kFileHeaderSize + infoSize
                                    ? (pixelOffset - kFileHeaderSize - infoSize) / 4 : 0;
    image.width = width;
    image.height = height;
    image.bits.assign(image.RowBytes() * height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = data + pixelOffset + rowBytes * (topFirst ? y : height - 1 - y);
        for (int x = 0; x < width; ++x)
            image.SetWhite(x, y, !PixelIsDark(row, x, bitsPerPixel, palette, paletteCount));
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}
