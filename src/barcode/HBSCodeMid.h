/* Settings-barcode renderer: the calls and parameter records the program has always
 * used for its linear and two-dimensional settings barcodes, drawn with zint. Every
 * image comes back as a complete BMP file in memory (white background, black bars).
 * One barcode is rendered at a time; the calls are not meant for several threads. */
#pragma once

#include <cstdint>

extern "C" {

enum {
    BC_TYPE_PDF417 = 0,
    BC_TYPE_QR = 1,
    BC_TYPE_DATAMATRIX = 2,
    BC_TYPE_LINEAR = 6  /* Code 128 */
};

/* What every barcode shares: its type, its payload and the font of its text. */
typedef struct BCBaseParam {
    int32_t codeType;
    const char* data;       /* 8-bit payload, NUL-terminated */
    int32_t dataLength;     /* bytes, without the NUL */
    int32_t resolution;     /* dots per inch the sizes below are meant for: 600 */
    /* The font of the human-readable text, as the numbers of a CreateFont call. */
    int32_t fontHeight;
    int32_t fontWidth;
    int32_t fontEscapement;
    int32_t fontOrientation;
    int32_t fontWeight;
    int32_t fontItalic;
    int32_t fontUnderline;
    int32_t fontStrikeOut;
    int32_t fontCharSet;
    int32_t fontOutPrecision;
    int32_t fontClipPrecision;
    int32_t fontQuality;
    int32_t fontPitchAndFamily;
    const wchar_t* faceName;
    int32_t rotation;       /* 0 */
    int32_t reserved20;     /* not set by callers */
    int32_t reserved21;     /* not set by callers */
    uint8_t flags[4];       /* flags[1] = 1: black on white */
    int32_t copies;         /* 1 */
} BCBaseParam;

/* The linear settings barcode. */
typedef struct BCEachParam {
    int32_t barHeight;      /* pixels */
    int32_t moduleWidth;    /* pixels of the narrowest bar */
    int32_t ratio;          /* 2; Code 128 has no wide-to-narrow ratio, kept for the record's shape */
    int32_t showText;       /* 1: human-readable text under the bars */
} BCEachParam;

/* PDF417: [0] module width in pixels, [3] row height in modules, [5] data columns. */
typedef struct BCEachParamPdf417 {
    int32_t fields[9];
} BCEachParamPdf417;

/* QR: [1] module size in pixels, [6] error-correction level (1 L, 2 M, 3 Q, 4 H). */
typedef struct BCEachParamQr {
    int32_t fields[7];
} BCEachParamQr;

/* Data Matrix: [1] module size in pixels, [8] text flag (a Data Matrix has no
 * human-readable line, so it is accepted and not drawn). */
typedef struct BCEachParamDm {
    int32_t fields[15];
} BCEachParamDm;

/* Once at program start and once at exit. */
void InitBCDll(void);
void FreeMemory(void);

/* The next barcode's shared parameters; the record is copied, `data` is read at GenBarCode. */
void SetBCBaseParam(const BCBaseParam* param);
/* The next barcode's own record; `type` repeats the code type and selects the record kind. */
void SetBCEachParam(const void* record, int type);
/* Renders the barcode; non-zero on success. */
int GenBarCode(void);
/* The last rendered image: a BMP file in memory, valid until the next GenBarCode or
 * FreeMemory. Null when there is none. */
const unsigned char* GetImagePtr(void);
/* Why the last GenBarCode failed, or an empty text. */
const char* GetBCLastError(void);

}  /* extern "C" */
