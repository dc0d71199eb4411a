#include "SheetOutput.h"

#include <wx/filefn.h>
#include <wx/log.h>

#include <png.h>

#include <algorithm>
#include <cstdio>

namespace {

const int kMargin = 16;

// All pictures stacked and centred on one white image.
SMonoImage StackPictures(const CBarcodeSheet& sheet, bool& ok)
{
    std::vector<SMonoImage> pictures;
    ok = true;
    int width = 0;
    int height = kMargin;
    for (const SOutputItem& item : OutputItems(sheet)) {
        SMonoImage picture;
        if (!DecodeBmp(item.image->bmp.data(), item.image->bmp.size(), picture)) {
            ok = false;
            return SMonoImage();
        }
        width = std::max(width, picture.width);
        height += picture.height + std::max(sheet.interval, kMargin);
        pictures.push_back(std::move(picture));
    }
    SMonoImage stacked;
    stacked.width = width + 2 * kMargin;
    stacked.height = height;
    stacked.bits.assign(stacked.RowBytes() * stacked.height, 0xFF);
    int top = kMargin;
    for (const SMonoImage& picture : pictures) {
        const int left = (stacked.width - picture.width) / 2;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                stacked.SetWhite(left + x, top + y, picture.IsWhite(x, y));
        top += picture.height + std::max(sheet.interval, kMargin);
    }
    return stacked;
}

// libpng reports errors by jumping back here; nothing local changes after the jump point.
bool WriteRows(png_structp png, png_infop info, FILE* file, const SMonoImage& image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    // One bit of grey a pixel, set bits white: the picture's rows go over as they are.
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 1,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.bits.data() + static_cast<size_t>(y) * image.RowBytes());
    png_write_end(png, nullptr);
    return true;
}

bool WritePng(const SMonoImage& image, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = png && info && WriteRows(png, info, file, image);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace

bool SaveSheetAsPng(const CBarcodeSheet& sheet, const wxString& path, wxString& error)
{
    bool ok = false;
    const SMonoImage stacked = StackPictures(sheet, ok);
    if (!ok || stacked.width <= 2 * kMargin) {
        error = "the sheet has no picture to write";
        return false;
    }
    // Written beside the target first, so a failed write never spoils an existing file.
    const wxString temporary = path + ".part";
    if (!WritePng(stacked, std::string(temporary.fn_str()))) {
        wxLogNull quiet;  // the failure is reported to the caller; a part file may not even exist
        wxRemoveFile(temporary);
        error = "the file could not be written";
        return false;
    }
    return wxRenameFile(temporary, path, true);
}
