#include "BarcodeRender.h"

#include "BarcodePayload.h"
#include "HBSCodeMid.h"
#include "app/NarrowText.h"

#include <zint.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

namespace {

wxString& FaceName()
{
    static wxString name = "Arial";
    return name;
}

std::string ToPayloadBytes(const wxString& payload)
{
    const std::wstring wide = payload.ToStdWstring();
    return ToNarrow(wide.c_str(), wide.size());
}

BCBaseParam MakeBaseParam(int codeType, const std::string& bytes, int32_t height, int32_t width, int32_t weight)
{
    static std::wstring face;
    face = FaceName().ToStdWstring();
    BCBaseParam base{};
    base.codeType = codeType;
    base.data = bytes.c_str();
    base.dataLength = static_cast<int32_t>(bytes.size());
    base.resolution = 600;
    base.fontHeight = height;
    base.fontWidth = width;
    base.fontWeight = weight;
    base.fontPitchAndFamily = 32;
    base.faceName = face.c_str();
    base.flags[1] = 1;
    base.copies = 1;
    return base;
}

// Runs the renderer with the records already set and copies its image out.
bool TakeRenderedImage(const wxString& payload, SSheetImage& image, wxString& error)
{
    if (!GenBarCode()) {
        error = wxString::FromUTF8(GetBCLastError());
        return false;
    }
    const unsigned char* bmp = GetImagePtr();
    const size_t size = ReadBmpFileSize(bmp, 14);
    if (!bmp || !MakeSheetImage(std::vector<uint8_t>(bmp, bmp + size), image)) {
        error = "the renderer gave no image";
        return false;
    }
    image.payload = payload;
    image.vector = GetLastSymbolVector();
    return true;
}

bool ReportReadBack(const char* message, wxString& error)
{
    std::fprintf(stderr, "%s\n", message);
    error = message;
    return false;
}

}  // namespace

int CodeTypeOfSymbology(int symbology)
{
    switch (symbology) {
    case SYMBOLOGY_PDF417: return BC_TYPE_PDF417;
    case SYMBOLOGY_QR: return BC_TYPE_QR;
    default: return BC_TYPE_DATAMATRIX;
    }
}

void SetBarcodeFaceName(const wxString& faceName)
{
    FaceName() = faceName;
}

bool RenderLinearBarcode(const wxString& payload, const CBarCodeSettingsXmlInfo& layout, bool showText,
                         SSheetImage& image, wxString& error)
{
    const std::string bytes = ToPayloadBytes(payload);
    const BCBaseParam base = MakeBaseParam(BC_TYPE_LINEAR, bytes, layout.FontHeight, layout.FontWidth, layout.fnWeight);
    const BCEachParam each{layout.D1Height, layout.D1Width, 2, showText ? 1 : 0};
    SetBCBaseParam(&base);
    SetBCEachParam(&each, BC_TYPE_LINEAR);
    return TakeRenderedImage(payload, image, error);
}

bool Render2DBarcode(const wxString& payload, int symbology, bool textFlag, SSheetImage& image, wxString& error)
{
    const wxString sent = BatchPayload(payload);
    const std::string bytes = ToPayloadBytes(sent);
    const int type = CodeTypeOfSymbology(symbology);
    const BCBaseParam base = MakeBaseParam(type, bytes, 12, 0, 400);
    SetBCBaseParam(&base);
    const BCEachParamPdf417 pdf417{{2, 0, 0, 3, 0, 9, 0, 0, 0}};
    const BCEachParamQr qr{{0, 8, 20, 0, 0, 0, 2}};
    BCEachParamDm dm{};
    dm.fields[1] = 10;
    dm.fields[8] = textFlag ? 1 : 0;
    if (type == BC_TYPE_PDF417)
        SetBCEachParam(&pdf417, type);
    else if (type == BC_TYPE_QR)
        SetBCEachParam(&qr, type);
    else
        SetBCEachParam(&dm, type);
    return TakeRenderedImage(sent, image, error);
}

bool DrawFrameBarcode(const wxString& payload, SSheetImage& image)
{
    const int kWidth = 320;
    const int kHeight = 86;
    const int kBarHeight = 66;
    const std::string bytes = ToPayloadBytes(payload);
    zint_symbol* symbol = ZBarcode_Create();
    if (!symbol)
        return false;
    symbol->symbology = BARCODE_CODE128;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->show_hrt = 0;
    symbol->scale = 0.5f;  // one pixel per module: widened below by a whole factor
    symbol->height = kBarHeight;
    const bool drawn = ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(bytes.data()),
                                                  static_cast<int>(bytes.size()), 0) < ZINT_ERROR &&
                       symbol->bitmap_width > 0 && symbol->bitmap_width <= kWidth;
    SMonoImage frame;
    if (drawn) {
        frame.width = kWidth;
        frame.height = kHeight;
        frame.bits.assign(frame.RowBytes() * kHeight, 0xFF);
        const int factor = kWidth / symbol->bitmap_width;
        const int left = (kWidth - symbol->bitmap_width * factor) / 2;
        const int top = (kHeight - std::min(kHeight, symbol->bitmap_height)) / 2;
        for (int y = 0; y < std::min(kHeight, symbol->bitmap_height); ++y) {
            for (int x = 0; x < symbol->bitmap_width * factor; ++x) {
                const unsigned char* pixel = symbol->bitmap + 3 * (y * symbol->bitmap_width + x / factor);
                frame.SetWhite(left + x, top + y, pixel[0] > 127);
            }
        }
    }
    ZBarcode_Delete(symbol);
    if (!drawn || !MakeSheetImage(EncodeBmp(frame), image))
        return false;
    image.payload = payload;
    return true;
}

bool RenderAllInOneBarcode(const wxString& payload, const wxString& bmpPath, SSheetImage& image, wxString& error)
{
    const wxString sent = AllInOnePayload(payload);
    const std::string bytes = ToPayloadBytes(sent);
    const std::string path(bmpPath.fn_str());
    zint_symbol* symbol = ZBarcode_Create();
    if (!symbol)
        return ReportReadBack("Memory error", error);
    symbol->symbology = BARCODE_DATAMATRIX;
    // Reader initialisation marks a programming symbol; the quiet zone lets readers find its edges.
    symbol->output_options |= READER_INIT | BARCODE_QUIET_ZONES;
    symbol->border_width = 1;
    symbol->scale = 4.0f;
    symbol->option_3 = DM_SQUARE;
    std::snprintf(symbol->outfile, sizeof symbol->outfile, "%s", path.c_str());
    int result = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.data()),
                                 static_cast<int>(bytes.size()));
    if (result < ZINT_ERROR)
        result = ZBarcode_Print(symbol, 0);
    auto vector = std::make_shared<CSymbolVector>();
    if (result < ZINT_ERROR && ZBarcode_Buffer_Vector(symbol, 0) < ZINT_ERROR)
        vector->Take(symbol->vector, 2.0, nullptr);  // zint: a vector unit is two raster pixels
    if (result >= ZINT_ERROR)
        error = wxString::FromUTF8(symbol->errtxt);
    ZBarcode_Delete(symbol);
    if (result >= ZINT_ERROR)
        return false;

    std::vector<uint8_t> bytesRead;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return ReportReadBack("File error", error);
    std::fclose(file);
    try {
        if (!ReadWholeFile(path, bytesRead))
            return ReportReadBack("Reading error", error);
    } catch (const std::bad_alloc&) {
        return ReportReadBack("Memory error", error);
    }
    if (ReadBmpFileSize(bytesRead.data(), bytesRead.size()) > bytesRead.size() ||
        !MakeSheetImage(std::move(bytesRead), image))
        return ReportReadBack("Reading error", error);
    image.payload = sent;
    if (vector->Width() > 0)
        image.vector = std::move(vector);
    return true;
}
