// Rendering one settings barcode into a sheet image: linear and batch codes through
// the renderer's records, the all-in-one Data Matrix through zint and its BMP file.
#pragma once

#include "BarCodeSettingsXmlInfo.h"
#include "BarcodeSheet.h"

#include <wx/string.h>

// Item data of the batch page's symbology list.
enum {
    SYMBOLOGY_PDF417 = 0,
    SYMBOLOGY_DATAMATRIX = 2,
    SYMBOLOGY_QR = 3
};

// The renderer's code type for a symbology item (0 PDF417, 1 QR, 2 Data Matrix).
int CodeTypeOfSymbology(int symbology);

// The face name handed to the renderer with the text font.
void SetBarcodeFaceName(const wxString& faceName);

// False with the renderer's reason in `error` when the barcode cannot be made.
bool RenderLinearBarcode(const wxString& payload, const CBarCodeSettingsXmlInfo& layout, bool showText,
                         SSheetImage& image, wxString& error);
bool Render2DBarcode(const wxString& payload, int symbology, bool textFlag, SSheetImage& image, wxString& error);
// A frame picture of the sheet (320 x 86, one bit per pixel): the payload as a linear
// code, its modules widened to fill the frame. False when zint cannot encode it.
bool DrawFrameBarcode(const wxString& payload, SSheetImage& image);
// Writes the symbol to `bmpPath` with zint and reads it back. A file that cannot be
// read is reported on the standard error stream ("File error", "Memory error",
// "Reading error") and fails the render.
bool RenderAllInOneBarcode(const wxString& payload, const wxString& bmpPath, SSheetImage& image, wxString& error);
