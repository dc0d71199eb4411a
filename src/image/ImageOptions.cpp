#include "ImageOptions.h"

#include <algorithm>

namespace {

bool ParseNumber(const wxString& text, int& number)
{
    long value = 0;
    if (text.empty() || !text.IsNumber() || !text.ToLong(&value) || value < 0 || value > 0xFFFF)
        return false;
    number = static_cast<int>(value);
    return true;
}

// Cuts `value` at each of `letters` in turn, from `start`; the pieces before the
// letters found, and where the text after the last one begins.
std::vector<wxString> CutAtLetters(const wxString& value, const wxString& letters, size_t& rest)
{
    std::vector<wxString> pieces;
    size_t start = 0;
    for (wxUniChar letter : letters) {
        const size_t at = value.find(letter, start);
        if (at == wxString::npos)
            break;
        pieces.push_back(value.Mid(start, at - start));
        start = at + 1;
    }
    rest = start;
    return pieces;
}

// After the last required letter: nothing (all four qualities) or a quality range and "Q".
bool ParseQualityTail(const wxString& tail, std::vector<int>& qualities)
{
    if (tail.empty()) {
        qualities = {0, 1, 2, 3};
        return true;
    }
    const size_t q = tail.find('Q');
    return q != wxString::npos && ParseImageRange(tail.Left(q), qualities);
}

std::vector<int> KeepNamed(const std::vector<int>& reported, const std::vector<int>& named)
{
    std::vector<int> kept;
    for (int number : reported)
        if (std::find(named.begin(), named.end(), number) != named.end() &&
            std::find(kept.begin(), kept.end(), number) == kept.end())
            kept.push_back(number);
    return kept;
}

}  // namespace

bool ParseImageRange(const wxString& piece, std::vector<int>& numbers)
{
    numbers.clear();
    int first = 0;
    int last = 0;
    const int dash = piece.Find('-');
    if (dash == wxNOT_FOUND) {
        if (!ParseNumber(piece, first))
            return false;
        last = first;
    } else if (!ParseNumber(piece.Left(dash), first) || !ParseNumber(piece.Mid(dash + 1), last) || last < first) {
        return false;
    }
    for (int n = first; n <= last; ++n)
        numbers.push_back(n);
    return true;
}

bool ParseImageCapability(const wxString& value, SImageCapability& capability)
{
    size_t rest = 0;
    const std::vector<wxString> pieces = CutAtLetters(value, "TRF", rest);
    SImageCapability parsed;
    const bool complete = pieces.size() == 3 && ParseImageRange(pieces[0], parsed.types) &&
                          ParseImageRange(pieces[1], parsed.ratios) && ParseImageRange(pieces[2], parsed.formats) &&
                          ParseQualityTail(value.Mid(rest), parsed.qualities);
    if (!complete)
        return false;
    parsed.areaFormats = capability.areaFormats;
    parsed.areaQualities = capability.areaQualities;
    capability = parsed;
    return true;
}

bool ParseBarcodeAreaCapability(const wxString& value, SImageCapability& capability)
{
    size_t rest = 0;
    const std::vector<wxString> pieces = CutAtLetters(value, "F", rest);
    std::vector<int> formats;
    std::vector<int> qualities;
    if (pieces.size() != 1 || !ParseImageRange(pieces[0], formats) || !ParseQualityTail(value.Mid(rest), qualities))
        return false;
    capability.areaFormats = formats;
    capability.areaQualities = qualities;
    return true;
}

bool ParseImageSize(const wxString& value, int& width, int& height)
{
    const int w = value.Find('W');
    const int h = value.Find('H');
    if (w == wxNOT_FOUND || h == wxNOT_FOUND || h < w)
        return false;
    int parsedWidth = 0;
    int parsedHeight = 0;
    if (!ParseNumber(value.Left(w), parsedWidth) || !ParseNumber(value.Mid(w + 1, h - w - 1), parsedHeight) ||
        parsedWidth == 0 || parsedHeight == 0)
        return false;
    width = parsedWidth;
    height = parsedHeight;
    return true;
}

std::vector<int> NamedTypes(const std::vector<int>& reported, bool barcodeAreaSupported)
{
    std::vector<int> types = KeepNamed(reported, {IMAGE_TYPE_REALTIME, IMAGE_TYPE_DECODE});
    if (barcodeAreaSupported)
        types.push_back(IMAGE_TYPE_BARCODE_AREA);
    return types;
}

std::vector<int> NamedRatios(const std::vector<int>& reported)
{
    return KeepNamed(reported, {0, 1, 2});
}

std::vector<int> NamedFormats(const std::vector<int>& reported)
{
    return KeepNamed(reported, {IMAGE_FORMAT_RAW, IMAGE_FORMAT_BMP, IMAGE_FORMAT_JPEG, IMAGE_FORMAT_TIFF});
}

std::vector<int> NamedQualities(const std::vector<int>& reported)
{
    return KeepNamed(reported, {0, 1, 2, 3});
}

int ImageRatioDivisor(int ratio)
{
    return ratio == 1 ? 2 : ratio == 2 ? 4 : 1;
}

wxString BuildImageRequest(int type, int ratio, int format, int quality)
{
    wxString text = type == IMAGE_TYPE_BARCODE_AREA ? wxString::Format("IMGBGT%dF", format)
                                                     : wxString::Format("IMGGET%dT%dR%dF", type, ratio, format);
    if (format == IMAGE_FORMAT_JPEG)
        text = wxString::Format("%s%dQ", text, quality);
    return text;
}
