#include "SimImage.h"

#include "SimReplyBuilder.h"

#include <wx/image.h>
#include <wx/mstream.h>

#include <zint.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <random>

namespace {

struct SRequest {
    std::string command;  // as sent, without mark
    bool barcodeArea = false;
    int type = 0;
    int ratio = 0;
    int format = 0;
    int quality = 0;
    bool withQuality = false;
};

// The command text of a frame "~" 0x01 "0000" mark command ";" 0x03.
std::string CommandOf(const std::string& frame)
{
    if (frame.size() < 9)
        return std::string();
    const size_t end = frame.find(';', 7);
    return frame.substr(7, end == std::string::npos ? std::string::npos : end - 7);
}

bool ParseRequest(const std::string& command, SRequest& request)
{
    request.command = command;
    char letter = 0;
    int used = 0;
    if (command.compare(0, 6, "IMGBGT") == 0) {
        request.barcodeArea = true;
        if (std::sscanf(command.c_str() + 6, "%1dF%n", &request.format, &used) != 1 || used == 0)
            return false;
    } else if (std::sscanf(command.c_str() + 6, "%1dT%1dR%1dF%n", &request.type, &request.ratio, &request.format,
                           &used) != 3 ||
               used == 0) {
        return false;
    }
    const std::string rest = command.substr(6 + static_cast<size_t>(used));
    if (rest.empty())
        return true;
    request.withQuality = std::sscanf(rest.c_str(), "%1d%c", &request.quality, &letter) == 2 && letter == 'Q';
    return request.withQuality && rest.size() == 2;
}

bool Supported(const SRequest& request)
{
    const bool jpeg = request.format == 2;
    return request.type >= 0 && request.type <= 1 && request.ratio >= 0 && request.ratio <= 2 &&
           request.format >= (request.barcodeArea ? 1 : 0) && request.format <= 3 && jpeg == request.withQuality &&
           request.quality >= 0 && request.quality <= 3;
}

void EnsureImageHandlers()
{
    // The handler list is global; adding to it once keeps two scanners (or the tool)
    // from racing on it.
    static std::once_flag once;
    std::call_once(once, [] {
        if (!wxImage::FindHandler(wxBITMAP_TYPE_BMP))
            wxImage::AddHandler(new wxBMPHandler);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
            wxImage::AddHandler(new wxJPEGHandler);
        if (!wxImage::FindHandler(wxBITMAP_TYPE_TIFF))
            wxImage::AddHandler(new wxTIFFHandler);
    });
}

// The barcode's modules as a square of booleans (true: dark), or empty.
std::vector<bool> BarcodeModules(const std::string& text, int& side)
{
    side = 0;
    zint_symbol* symbol = ZBarcode_Create();
    if (!symbol)
        return {};
    symbol->symbology = BARCODE_QRCODE;
    symbol->scale = 0.5f;  // one pixel per module
    symbol->whitespace_width = 0;
    std::vector<bool> modules;
    const int result = ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(text.data()),
                                                  static_cast<int>(text.size()), 0);
    if (result < ZINT_ERROR && symbol->bitmap && symbol->bitmap_width == symbol->bitmap_height) {
        side = symbol->bitmap_width;
        modules.resize(static_cast<size_t>(side) * static_cast<size_t>(side));
        for (size_t i = 0; i < modules.size(); ++i)
            modules[i] = symbol->bitmap[3 * i] < 128;
    }
    ZBarcode_Delete(symbol);
    return modules;
}

void PutPixel(SSimPicture& picture, int x, int y, uint8_t value)
{
    if (x >= 0 && y >= 0 && x < picture.width && y < picture.height)
        picture.grey[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)] = value;
}

std::string SizeText(int width, int height)
{
    return std::to_string(width) + "W" + std::to_string(height) + "H";
}

std::string LengthField(size_t length)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(length));
    return text;
}

// The part of the scene that holds the barcode, with a margin.
SSimPicture CropBarcodeArea(const SSimPicture& scene)
{
    SSimPicture area;
    area.width = std::max(1, scene.width / 2);
    area.height = std::max(1, scene.height * 2 / 3);
    const int left = (scene.width - area.width) / 2;
    const int top = (scene.height - area.height) / 2;
    area.grey.resize(static_cast<size_t>(area.width) * static_cast<size_t>(area.height));
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            area.grey[static_cast<size_t>(y * area.width + x)] =
                scene.grey[static_cast<size_t>((top + y) * scene.width + left + x)];
    return area;
}

}  // namespace

bool CSimImage::IsImageRequest(const std::string& frame)
{
    const std::string command = CommandOf(frame);
    // A bare "IMGGET" or "IMGBGT" with a query suffix asks for the option ranges.
    return command.size() > 6 && (command.compare(0, 6, "IMGGET") == 0 || command.compare(0, 6, "IMGBGT") == 0) &&
           command[6] >= '0' && command[6] <= '9';
}

SSimPicture CSimImage::RenderScene(int width, int height, const std::string& text, uint32_t noiseSeed)
{
    SSimPicture picture;
    int side = 0;
    const std::vector<bool> modules = BarcodeModules(text, side);
    if (modules.empty() || width <= 0 || height <= 0)
        return picture;
    picture.width = width;
    picture.height = height;
    picture.grey.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    std::minstd_rand noise(noiseSeed);
    std::uniform_int_distribution<int> jitter(-6, 6);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            PutPixel(picture, x, y, static_cast<uint8_t>(120 + 40 * x / width + jitter(noise)));
    // A paper label with a quiet zone of four modules, the code about half the short side.
    const int module = std::max(1, std::min(width, height) / 2 / side);
    const int quiet = 4 * module;
    const int codeSide = side * module;
    const int left = (width - codeSide) / 2;
    const int top = (height - codeSide) / 2;
    for (int y = top - quiet; y < top + codeSide + quiet; ++y)
        for (int x = left - quiet; x < left + codeSide + quiet; ++x)
            PutPixel(picture, x, y, static_cast<uint8_t>(215 + jitter(noise) / 2));
    for (int my = 0; my < side; ++my)
        for (int mx = 0; mx < side; ++mx)
            if (modules[static_cast<size_t>(my * side + mx)])
                for (int y = 0; y < module; ++y)
                    for (int x = 0; x < module; ++x)
                        PutPixel(picture, left + mx * module + x, top + my * module + y,
                                 static_cast<uint8_t>(35 + jitter(noise)));
    return picture;
}

std::vector<uint8_t> CSimImage::Encode(const SSimPicture& picture, int format, int quality)
{
    static const wxBitmapType kTypes[] = {wxBITMAP_TYPE_INVALID, wxBITMAP_TYPE_BMP, wxBITMAP_TYPE_JPEG,
                                          wxBITMAP_TYPE_TIFF};
    if (format < 1 || format > 3 || picture.grey.empty())
        return {};
    EnsureImageHandlers();
    wxImage image(picture.width, picture.height, false);
    unsigned char* rgb = image.GetData();
    for (size_t i = 0; i < picture.grey.size(); ++i)
        rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = picture.grey[i];
    if (format == 1)
        image.SetOption(wxIMAGE_OPTION_BMP_FORMAT, wxBMP_8BPP_GREY);
    if (format == 2)
        image.SetOption(wxIMAGE_OPTION_QUALITY, 30 + 20 * std::clamp(quality, 0, 3));
    if (format == 3)
        image.SetOption(wxIMAGE_OPTION_TIFF_SAMPLESPERPIXEL, 1);
    wxMemoryOutputStream stream;
    if (!image.SaveFile(stream, kTypes[format]))
        return {};
    std::vector<uint8_t> bytes(stream.GetSize());
    stream.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

std::string CSimImage::Answer(const std::string& frame, const std::string& fullSize, const std::string& text)
{
    SRequest request;
    int fullWidth = 0;
    int fullHeight = 0;
    const char mark = frame.size() > 6 ? frame[6] : '@';
    const bool sized = std::sscanf(fullSize.c_str(), "%dW%dH", &fullWidth, &fullHeight) == 2 && fullWidth > 0 &&
                       fullHeight > 0 && fullWidth <= 4096 && fullHeight <= 4096;
    if (!ParseRequest(CommandOf(frame), request) || !Supported(request) || !sized) {
        CSimReplyBuilder refusal;
        refusal.Add(CommandOf(frame).substr(0, 6), CommandOf(frame).substr(std::min<size_t>(6, CommandOf(frame).size())),
                    kSimNak);
        return refusal.Frame(mark);
    }
    const int divisor = request.barcodeArea ? 1 : (request.ratio == 0 ? 1 : request.ratio == 1 ? 2 : 4);
    SSimPicture picture = RenderScene(fullWidth / divisor, fullHeight / divisor, text, ++m_shots);
    if (request.barcodeArea)
        picture = CropBarcodeArea(picture);
    const std::vector<uint8_t> bytes =
        request.format == 0 ? picture.grey : Encode(picture, request.format, request.quality);
    std::string reply = std::string("\x02\x01") + "0000" + mark + request.command;
    if (request.barcodeArea)
        reply += SizeText(picture.width, picture.height);
    reply += LengthField(bytes.size());
    reply.append(bytes.begin(), bytes.end());
    // The item's status and the frame's end follow the picture.
    return reply + std::string(1, kSimAck) + ";\x03";
}
