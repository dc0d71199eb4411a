// What the printout, the PDF, the PNG and the Word file of a barcode sheet share:
// the four header lines and the barcodes in sheet order with their captions and
// drawn sizes, laid out once as pages (CSheetPages) that every output draws.
#pragma once

#include "BarcodeSheet.h"

#include <wx/datetime.h>
#include <wx/string.h>

#include <vector>

class ISheetTarget;
class CSheetPages;

struct SSheetHeader {
    wxString title;
    wxString comments;
    wxString product;
};

// "Title: ...", "Date Built: ...", "Product: ...", "Comments: ..." at `when`, the
// labels in the current language.
std::vector<wxString> HeaderLines(const SSheetHeader& header, const wxDateTime& when);
// When a sheet is made: now, or the time SOURCE_DATE_EPOCH names, so that a sheet
// can be made again byte for byte.
wxDateTime SheetTime();

// One barcode of the output in order: frame pictures at their own size and without
// caption, barcodes at the sheet's magnification.
struct SOutputItem {
    const SSheetImage* image = nullptr;
    wxString caption;  // empty: none
    bool captionAbove = false;
    int width = 0;
    int height = 0;
};
std::vector<SOutputItem> OutputItems(const CBarcodeSheet& sheet);

// Lays the header lines and the sheet out on `target`, starting new pages as needed.
void LayOutSheet(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, ISheetTarget& target);

// Writes the sheet as a PDF file, as PNG pictures at kPngDotsPerInch (the first page
// at `path`, page N beside it as NAME-N.png), or as a Word (.docx) file with its
// barcodes as 600 dpi pictures; false with a reason. An existing file is replaced
// only by a complete new one.
bool SaveSheetAsPdf(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                    wxString& error);
bool SaveSheetAsPng(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                    wxString& error);
bool SaveSheetAsDocx(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                     wxString& error);
// Where page `index` (from 0) of a PNG output goes.
wxString PngPagePath(const wxString& path, size_t index);

const double kPngDotsPerInch = 150;

// The part (left, top, width, height) of page `index`'s picture at `pixelsPerPoint`
// as 8-bit RGB rows (3 bytes a pixel, no padding); empty when it cannot be made.
// The print preview shows these pixels, drawn as the PDF and PNG pages are.
struct SPixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
std::vector<unsigned char> RenderPageRgb(const CSheetPages& pages, size_t index, double pixelsPerPoint,
                                         const SPixelRect& part);
// The whole page's picture at `pixelsPerPoint`.
SPixelRect PagePixels(const CSheetPages& pages, double pixelsPerPoint);
