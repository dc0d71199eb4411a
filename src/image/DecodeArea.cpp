#include "DecodeArea.h"

#include <wx/defs.h>

#include <algorithm>
#include <cstdio>

namespace {

bool Inside(const SImageRect& roi, const SAimPoint& aim)
{
    return aim.x >= roi.left && aim.x <= roi.right && aim.y >= roi.top && aim.y <= roi.bottom;
}

bool ReadAll(const std::function<bool(const wxString&, int&)>& valueOf, const char* const (&names)[4], int (&out)[4])
{
    for (int i = 0; i < 4; ++i)
        if (!valueOf(names[i], out[i]))
            return false;
    return true;
}

}  // namespace

EDecodeAreaResult RoiToDecodeArea(int mode, const SImageRect& roi, int width, int height, const SAimPoint& aim,
                                  DecodeAreaValues& values)
{
    values.clear();
    switch (mode) {
    case 1:
        if (width <= 0 || height <= 0)
            return EDecodeAreaResult::ModeWithoutArea;
        values = {{"CADTOP", roi.top * 100 / height},
                  {"CADBOT", roi.bottom * 100 / height},
                  {"CADLEF", roi.left * 100 / width},
                  {"CADRIG", roi.right * 100 / width}};
        return EDecodeAreaResult::Changed;
    case 5:
        values = {{"CADDTP", roi.top}, {"CADDBT", roi.bottom}, {"CADDLF", roi.left}, {"CADDRG", roi.right}};
        return EDecodeAreaResult::Changed;
    case 6:
        if (!Inside(roi, aim))
            return EDecodeAreaResult::AimOutside;
        values = {{"CADATP", aim.y - roi.top},
                  {"CADABT", roi.bottom - aim.y},
                  {"CADALF", aim.x - roi.left},
                  {"CADARG", roi.right - aim.x}};
        return EDecodeAreaResult::Changed;
    default:
        return EDecodeAreaResult::ModeWithoutArea;
    }
}

bool DecodeAreaToRoi(int mode, const std::function<bool(const wxString&, int&)>& valueOf, int width, int height,
                     const SAimPoint& aim, SImageRect& roi)
{
    int v[4] = {};
    switch (mode) {
    case 1: {
        static const char* const kNames[4] = {"CADTOP", "CADBOT", "CADLEF", "CADRIG"};
        if (!ReadAll(valueOf, kNames, v))
            return false;
        roi = {v[2] * width / 100, v[0] * height / 100, v[3] * width / 100, v[1] * height / 100};
        return true;
    }
    case 5: {
        static const char* const kNames[4] = {"CADDTP", "CADDBT", "CADDLF", "CADDRG"};
        if (!ReadAll(valueOf, kNames, v))
            return false;
        roi = {v[2], v[0], v[3], v[1]};
        return true;
    }
    case 6: {
        static const char* const kNames[4] = {"CADATP", "CADABT", "CADALF", "CADARG"};
        if (!ReadAll(valueOf, kNames, v))
            return false;
        roi = {aim.x - v[2], aim.y - v[0], aim.x + v[3], aim.y + v[1]};
        return true;
    }
    default:
        return false;
    }
}

bool ParseAimPoint(const wxString& value, SAimPoint& aim)
{
    int x = 0;
    int y = 0;
    if (std::sscanf(value.utf8_str(), "%iW%iH", &x, &y) != 2)
        return false;
    aim = {x, y};
    return true;
}

bool ApplyAimAdjustment(const wxString& value, SAimPoint& aim)
{
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    if (std::sscanf(value.utf8_str(), "%iT%iB%iL%iR", &top, &bottom, &left, &right) != 4)
        return false;
    aim.x += right - left;
    aim.y += bottom - top;
    return true;
}

bool NudgeSelection(int key, bool shift, SImageRect& rect)
{
    int dx = 0;
    int dy = 0;
    switch (key) {
    case WXK_LEFT:
        dx = -1;
        break;
    case WXK_RIGHT:
        dx = 1;
        break;
    case WXK_UP:
        dy = -1;
        break;
    case WXK_DOWN:
        dy = 1;
        break;
    default:
        return false;
    }
    if (!shift) {
        rect = {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
        return true;
    }
    // With Shift the rectangle shrinks from the side the arrow points away from.
    if (dx < 0)
        --rect.right;
    else if (dx > 0)
        ++rect.left;
    else if (dy < 0)
        --rect.bottom;
    else
        ++rect.top;
    return true;
}

unsigned char ContrastChannel(unsigned char channel, int position)
{
    const int value = (static_cast<int>(channel) - 128) * position / 100 + 128;
    return static_cast<unsigned char>(std::clamp(value, 0, 255));
}

SPicturePlacement PlacePicture(int pictureWidth, int pictureHeight, int fullWidth, int fullHeight, bool barcodeArea)
{
    if (fullWidth <= 0 || fullHeight <= 0)
        return {0, 0, pictureWidth, pictureHeight};
    if (!barcodeArea)
        return {0, 0, fullWidth, fullHeight};
    return {std::max(0, (fullWidth - pictureWidth) / 2), std::max(0, (fullHeight - pictureHeight) / 2), pictureWidth,
            pictureHeight};
}

SImageRect PictureToFullFrame(const SImageRect& rect, int pictureWidth, int pictureHeight,
                              const SPicturePlacement& placement)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return SImageRect();
    const auto x = [&](int v) { return placement.left + v * placement.width / pictureWidth; };
    const auto y = [&](int v) { return placement.top + v * placement.height / pictureHeight; };
    return {x(rect.left), y(rect.top), x(rect.right), y(rect.bottom)};
}

SImageRect FullFrameToPicture(const SImageRect& rect, int pictureWidth, int pictureHeight,
                              const SPicturePlacement& placement)
{
    if (placement.width <= 0 || placement.height <= 0)
        return SImageRect();
    const auto x = [&](int v) {
        return std::clamp((v - placement.left) * pictureWidth / placement.width, 0, pictureWidth);
    };
    const auto y = [&](int v) {
        return std::clamp((v - placement.top) * pictureHeight / placement.height, 0, pictureHeight);
    };
    const SImageRect shown{x(rect.left), y(rect.top), x(rect.right), y(rect.bottom)};
    return shown.IsEmpty() ? SImageRect() : shown;
}
