// BMP files in and out: the renderer's one-bit files read back pixel for pixel, the
// depths zint and others write, and broken files refused without reading past them.
#include "barcode/BmpImage.h"
#include "barcode/BarcodeSheet.h"

#include <gtest/gtest.h>

namespace {

SMonoImage Checkerboard(int width, int height)
{
    SMonoImage image;
    image.width = width;
    image.height = height;
    image.bits.assign(image.RowBytes() * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetWhite(x, y, (x + 2 * y) % 3 == 0);
    return image;
}

TEST(BmpImageTest, OneBitFilesReadBackPixelForPixelAndTwentyFourBitTopDownFilesAreRead)
{
    for (const int width : {1, 7, 8, 9, 33}) {
        const SMonoImage original = Checkerboard(width, 5);
        const std::vector<uint8_t> file = EncodeBmp(original);
        EXPECT_EQ(file.size(), ReadBmpFileSize(file.data(), file.size()));
        SMonoImage decoded;
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), decoded)) << width;
        EXPECT_EQ(original.bits, decoded.bits) << width;
    }
    // 2 x 2, rows top first (negative height): black, white / white, black.
    std::vector<uint8_t> file = EncodeBmp(Checkerboard(2, 2));
    file.resize(54);
    file[10] = 54;
    file[22] = 0xFE, file[23] = file[24] = file[25] = 0xFF;
    file[28] = 24;
    const uint8_t rows[] = {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0};
    file.insert(file.end(), rows, rows + sizeof rows);
    SMonoImage decoded;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), decoded));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(x != y, decoded.IsWhite(x, y)) << x << "," << y;
}

TEST(BmpImageTest, CutOrForeignFilesAreRefused)
{
    const std::vector<uint8_t> good = EncodeBmp(Checkerboard(40, 20));
    SMonoImage decoded;
    for (size_t cut : {size_t(0), size_t(13), size_t(53), good.size() - 1}) {
        const std::vector<uint8_t> part(good.begin(), good.begin() + cut);
        EXPECT_FALSE(DecodeBmp(part.data(), part.size(), decoded)) << cut;
    }
    // Run-length encoded, pixels said to start far past the end, and a height of
    // INT32_MIN, whose rows-first sign cannot be turned into a size.
    for (const auto& [at, value] : {std::pair<size_t, uint8_t>{30, 1}, {13, 0x7F}, {25, 0x80}}) {
        std::vector<uint8_t> broken = good;
        broken[at] = value;
        if (at == 25)
            broken[22] = broken[23] = broken[24] = 0;
        EXPECT_FALSE(DecodeBmp(broken.data(), broken.size(), decoded)) << at;
        SSheetImage image;
        EXPECT_FALSE(at == 25 && MakeSheetImage(broken, image));
    }
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G'};
    EXPECT_FALSE(DecodeBmp(png.data(), png.size(), decoded));
}

}  // namespace
