// The laid-out pages of a sheet for the print preview and the printout: both draw
// them with the same page drawing as the PDF and PNG files.
#pragma once

#include "barcode/SheetOutput.h"
#include "barcode/SheetPages.h"

#include <wx/dc.h>
#include <wx/image.h>

class CSheetPageArt {
public:
    CSheetPageArt(const CBarcodeSheet& sheet, const SSheetHeader& header);

    size_t GetPageCount() const { return m_pages.GetPages().size(); }
    // The part `area` of page `index` (from 0) at `pixelsPerPoint`; the whole page
    // when `area` is empty.
    wxImage RenderPage(size_t index, double pixelsPerPoint, const wxRect& area = wxRect()) const;
    // Page `index` on a printer's device context, stretched in proportion onto it:
    // as shapes on its cairo context, or as a picture at its resolution when it has none.
    void PrintPage(wxDC& dc, size_t index) const;

private:
    CSheetPages m_pages;
};

// The laid-out size of one page in points.
inline wxSize SheetPageSize()
{
    return wxSize(CSheetPages::kA4Width, CSheetPages::kA4Height);
}
