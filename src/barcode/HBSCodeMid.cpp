#include "HBSCodeMid.h"

#include "BmpImage.h"
#include "SymbolVector.h"

#include <zint.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SRendererState {
    bool haveBase = false;
    BCBaseParam base{};
    int eachType = -1;
    int32_t each[15] = {};
    std::vector<uint8_t> image;
    std::shared_ptr<const CSymbolVector> vector;
    std::string lastError;
};

SRendererState& State()
{
    static SRendererState state;
    return state;
}

size_t FieldCount(int type)
{
    switch (type) {
    case BC_TYPE_LINEAR: return sizeof(BCEachParam) / sizeof(int32_t);
    case BC_TYPE_PDF417: return sizeof(BCEachParamPdf417) / sizeof(int32_t);
    case BC_TYPE_QR: return sizeof(BCEachParamQr) / sizeof(int32_t);
    case BC_TYPE_DATAMATRIX: return sizeof(BCEachParamDm) / sizeof(int32_t);
    default: return 0;
    }
}

// zint's raster X-dimension is two pixels per unit of scale, and its vector unit is
// one unit of scale: a vector unit is two renderer pixels.
const double kPixelsPerUnit = 2.0;

float ScaleForModule(int32_t pixels)
{
    return static_cast<float>(std::max<int32_t>(1, pixels) / kPixelsPerUnit);
}

// The human-readable line in the font the caller gave (the linear code's only).
bool TakeVector(const zint_symbol* symbol, const SRendererState& state, CSymbolVector& vector)
{
    SReadableFont font;
    font.height = std::clamp<int32_t>(state.base.fontHeight, 1, 400);
    font.width = std::clamp<int32_t>(state.base.fontWidth, 0, 400);
    font.weight = std::clamp<int32_t>(state.base.fontWeight, 100, 900);
    const bool readable = state.base.codeType == BC_TYPE_LINEAR && symbol->show_hrt;
    return vector.Take(symbol->vector, kPixelsPerUnit, readable ? &font : nullptr);
}

// Sets up `symbol` for the type and records in the state; false for an unknown type.
bool ConfigureSymbol(zint_symbol* symbol, const SRendererState& state)
{
    symbol->output_options |= BARCODE_QUIET_ZONES;
    switch (state.base.codeType) {
    case BC_TYPE_LINEAR: {
        const int32_t module = std::max<int32_t>(1, state.each[1]);
        symbol->symbology = BARCODE_CODE128;
        symbol->scale = ScaleForModule(module);
        symbol->height = static_cast<float>(std::max<int32_t>(1, state.each[0])) / static_cast<float>(module);
        symbol->show_hrt = state.each[3] == 1 ? 1 : 0;
        return true;
    }
    case BC_TYPE_PDF417:
        symbol->symbology = BARCODE_PDF417;
        symbol->scale = ScaleForModule(state.each[0]);
        symbol->option_2 = std::clamp<int32_t>(state.each[5], 0, 30);
        // zint's PDF417 rows are three modules high unless told otherwise.
        symbol->height = 0;
        return true;
    case BC_TYPE_QR:
        symbol->symbology = BARCODE_QRCODE;
        symbol->scale = ScaleForModule(state.each[1]);
        symbol->option_1 = (state.each[6] >= 1 && state.each[6] <= 4) ? state.each[6] : 0;
        return true;
    case BC_TYPE_DATAMATRIX:
        symbol->symbology = BARCODE_DATAMATRIX;
        symbol->scale = ScaleForModule(state.each[1]);
        return true;
    default:
        return false;
    }
}

bool Fail(const std::string& reason)
{
    State().lastError = reason;
    return false;
}

bool Render()
{
    SRendererState& state = State();
    state.image.clear();
    state.vector.reset();
    state.lastError.clear();
    if (!state.haveBase || !state.base.data || state.base.dataLength <= 0)
        return Fail("no data to encode");
    if (state.eachType != state.base.codeType)
        return Fail("the record does not match the code type");
    zint_symbol* symbol = ZBarcode_Create();
    if (!symbol)
        return Fail("out of memory");
    bool ok = ConfigureSymbol(symbol, state);
    if (!ok)
        Fail("unknown code type");
    const auto* data = reinterpret_cast<const unsigned char*>(state.base.data);
    if (ok && ZBarcode_Encode_and_Buffer_Vector(symbol, data, state.base.dataLength, 0) >= ZINT_ERROR)
        ok = Fail(symbol->errtxt);
    // The picture is the shapes themselves at the renderer's pixels, so the sheet
    // view and every print of the vector show one and the same barcode.
    auto vector = std::make_shared<CSymbolVector>();
    if (ok && !TakeVector(symbol, state, *vector))
        ok = Fail("zint gave no shapes");
    ZBarcode_Delete(symbol);
    if (ok) {
        state.image = EncodeBmp(vector->Rasterise(kPixelsPerUnit));
        state.vector = std::move(vector);
    }
    return ok;
}

}  // namespace

std::shared_ptr<const CSymbolVector> GetLastSymbolVector()
{
    return State().vector;
}

extern "C" {

void InitBCDll(void)
{
    State() = SRendererState();
}

void FreeMemory(void)
{
    State() = SRendererState();
}

void SetBCBaseParam(const BCBaseParam* param)
{
    SRendererState& state = State();
    state.haveBase = param != nullptr;
    if (param)
        state.base = *param;
}

void SetBCEachParam(const void* record, int type)
{
    SRendererState& state = State();
    const size_t count = FieldCount(type);
    std::fill(std::begin(state.each), std::end(state.each), 0);
    state.eachType = record && count ? type : -1;
    if (state.eachType >= 0)
        std::memcpy(state.each, record, count * sizeof(int32_t));
}

int GenBarCode(void)
{
    return Render() ? 1 : 0;
}

const unsigned char* GetImagePtr(void)
{
    const SRendererState& state = State();
    return state.image.empty() ? nullptr : state.image.data();
}

const char* GetBCLastError(void)
{
    return State().lastError.c_str();
}

}  // extern "C"
