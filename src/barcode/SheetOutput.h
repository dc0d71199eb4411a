// What the printout, the PDF and the Word file of a barcode sheet share: the four
// header lines and the pictures in sheet order with their captions and drawn sizes.
#pragma once

#include "BarcodeSheet.h"

#include <wx/datetime.h>
#include <wx/string.h>

#include <vector>

class IPdfTarget;

struct SSheetHeader {
    wxString title;
    wxString comments;
    wxString product;
};

// "Title: ...", "Date Built: ...", "Product: ...", "Comments: ..." at `when`.
std::vector<wxString> HeaderLines(const SSheetHeader& header, const wxDateTime& when);

// One picture of the output in order: frame pictures at their own size and
// without caption, barcodes at the sheet's magnification.
struct SOutputItem {
    const SSheetImage* image = nullptr;
    wxString caption;  // empty: none
    bool captionAbove = false;
    int width = 0;
    int height = 0;
};
std::vector<SOutputItem> OutputItems(const CBarcodeSheet& sheet);

// Lays the header lines and the sheet out on `target`, starting new pages as
// needed. False when a picture could not be used.
bool LayOutSheetOnPdf(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, IPdfTarget& target);

// Writes the sheet as a PDF file or a Word (.docx) file; false with a reason.
bool SaveSheetAsPdf(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                    wxString& error);
bool SaveSheetAsDocx(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                     wxString& error);

// Writes the pictures of the sheet one under another at the renderer's own
// resolution as a black-and-white PNG file (captions are not drawn: the core has no
// text rendering); false with a reason.
bool SaveSheetAsPng(const CBarcodeSheet& sheet, const wxString& path, wxString& error);
