// Black-and-white pictures and their BMP files. Written by hand because the renderer's
// calls hand out a BMP file in memory and the all-in-one code and the frame pictures
// come as BMP files, while the core has no library that reads or writes BMP: cairo
// does PNG only, and wxImage and its handlers live in the GUI library. Only the
// uncompressed forms zint and the renderer write are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One bit per pixel, rows top first, each row (width + 7) / 8 bytes, most significant
// bit leftmost; a set bit is white (the PDF "DeviceGray" one-bit layout).
struct SMonoImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits;

    size_t RowBytes() const { return (static_cast<size_t>(width) + 7) / 8; }
    bool IsWhite(int x, int y) const;
    void SetWhite(int x, int y, bool white);
};

// A one-bit BMP file (palette black, white; rows bottom first).
std::vector<uint8_t> EncodeBmp(const SMonoImage& image);

// Reads a BMP file of 1, 4, 8, 24 or 32 bits per pixel without compression, dark
// pixels becoming black. False for anything else or a file cut short.
bool DecodeBmp(const uint8_t* data, size_t size, SMonoImage& image);

// Width and height from a BMP file header; false when the header is not there.
bool ReadBmpSize(const uint8_t* data, size_t size, int& width, int& height);
// The file size the header gives (bytes 2 to 5), or 0.
size_t ReadBmpFileSize(const uint8_t* data, size_t size);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
