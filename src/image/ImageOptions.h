// What an imaging scanner says it can capture, and the request texts built from a
// choice of those options. The scanner reports each option as ranges of numbers
// cut at option letters ("0-1T0-2R0-3F0-3Q"); the menus offer only numbers the
// program has a name for.
#pragma once

#include <wx/string.h>

#include <vector>

// Option numbers the program names (the rest of a reported range is not offered).
enum EImageType { IMAGE_TYPE_REALTIME = 0, IMAGE_TYPE_DECODE = 1, IMAGE_TYPE_BARCODE_AREA = 0xFFFF };
enum EImageFormat { IMAGE_FORMAT_RAW = 0, IMAGE_FORMAT_BMP = 1, IMAGE_FORMAT_JPEG = 2, IMAGE_FORMAT_TIFF = 3 };

struct SImageCapability {
    std::vector<int> types;
    std::vector<int> ratios;
    std::vector<int> formats;
    std::vector<int> qualities;
    // Formats and qualities that apply while the barcode-area image is chosen; empty
    // when the scanner has no such image.
    std::vector<int> areaFormats;
    std::vector<int> areaQualities;
};

// "a-b" gives a … b, "a" gives a. False for anything else (also b < a).
bool ParseImageRange(const wxString& piece, std::vector<int>& numbers);

// The "IMGGET" value: type "T", ratio "R", format "F", then optionally quality "Q".
// Without anything after "F" the qualities are 0 to 3; something there that holds
// no quality range fails, as does a missing type, ratio or format range.
bool ParseImageCapability(const wxString& value, SImageCapability& capability);
// The "IMGBGT" value: format "F", then optionally quality "Q" (missing: 0 to 3).
bool ParseBarcodeAreaCapability(const wxString& value, SImageCapability& capability);

// The full size "%dW%dH".
bool ParseImageSize(const wxString& value, int& width, int& height);

// Of `reported`, the numbers the program names for each option, in reported order.
std::vector<int> NamedTypes(const std::vector<int>& reported, bool barcodeAreaSupported);
std::vector<int> NamedRatios(const std::vector<int>& reported);
std::vector<int> NamedFormats(const std::vector<int>& reported);
std::vector<int> NamedQualities(const std::vector<int>& reported);

// Each side of the picture is divided by this: ratio 0 → 1, 1 → 2, 2 → 4.
int ImageRatioDivisor(int ratio);

// "IMGBGT%dF" for the barcode-area image, "IMGGET%dT%dR%dF" otherwise, with the
// quality and "Q" appended for JPEG.
wxString BuildImageRequest(int type, int ratio, int format, int quality);
