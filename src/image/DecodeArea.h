// A region of interest drawn on a picture, turned into the scanner's decode-area
// settings and back, and the aiming point those settings may be measured from.
#pragma once

#include <wx/string.h>

#include <functional>
#include <utility>
#include <vector>

struct SImageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const SImageRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

struct SAimPoint {
    int x = 0;
    int y = 0;
};

using DecodeAreaValues = std::vector<std::pair<wxString, int>>;

enum class EDecodeAreaResult { Changed, ModeWithoutArea, AimOutside };

// The settings (name, value) that put the decode area on `roi` of a full-size
// `width` × `height` picture under mode `mode` of "CADENA": 1 percent, 5 pixels,
// 6 around `aim` (refused when the aim lies outside the region). Other modes change
// nothing.
EDecodeAreaResult RoiToDecodeArea(int mode, const SImageRect& roi, int width, int height, const SAimPoint& aim,
                                  DecodeAreaValues& values);

// The region the current values describe under `mode`; `valueOf` gives a setting's
// value (false when the scanner has none). False for modes without an area.
bool DecodeAreaToRoi(int mode, const std::function<bool(const wxString&, int&)>& valueOf, int width, int height,
                     const SAimPoint& aim, SImageRect& roi);

// The part of the scanner's full frame a shown picture covers, in full-frame pixels.
// A reduced picture (1:4, 1:16) covers the whole frame; a barcode-area picture is a
// crop at full scale, and its reply gives only its size: the imagers cut it from the
// middle of the frame.
struct SPicturePlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
SPicturePlacement PlacePicture(int pictureWidth, int pictureHeight, int fullWidth, int fullHeight, bool barcodeArea);
// A rectangle in picture pixels to full-frame pixels and back (the way back clipped
// to the picture, empty when the rectangle lies outside it).
SImageRect PictureToFullFrame(const SImageRect& rect, int pictureWidth, int pictureHeight,
                              const SPicturePlacement& placement);
SImageRect FullFrameToPicture(const SImageRect& rect, int pictureWidth, int pictureHeight,
                              const SPicturePlacement& placement);

// "%iW%iH" of "AMLQRY".
bool ParseAimPoint(const wxString& value, SAimPoint& aim);
// "%iT%iB%iL%iR" of "AMLADJ": moves the point right by right − left and down by
// bottom − top. False (and the point unchanged) unless all four are read.
bool ApplyAimAdjustment(const wxString& value, SAimPoint& aim);

// One arrow key on a selection rectangle: without Shift the rectangle moves one
// pixel; with Shift, Left pulls the right edge in, Up the bottom edge, Right the
// left edge and Down the top edge. `key` is a wxWidgets key code.
bool NudgeSelection(int key, bool shift, SImageRect& rect);

// One colour channel under the contrast slider `position` (100 leaves it as it is):
// (c − 128) × position / 100 + 128, truncated toward zero and clamped to 0–255.
unsigned char ContrastChannel(unsigned char channel, int position);
