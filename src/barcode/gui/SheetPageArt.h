// Draws the pages of a laid-out sheet on any device context at a given number of
// device pixels per point: the print preview on screen and the printout on paper.
#pragma once

#include "SheetOutput.h"
#include "SheetPages.h"

#include <wx/dc.h>
#include <wx/image.h>

#include <vector>

class CSheetPageArt {
public:
    CSheetPageArt(const CBarcodeSheet& sheet, const SSheetHeader& header);

    size_t GetPageCount() const { return m_pages.GetPages().size(); }
    // Page `index` (from 0) with its upper left corner at `origin`.
    void DrawPage(wxDC& dc, size_t index, double pixelsPerPoint, const wxPoint& origin = wxPoint()) const;

private:
    CSheetPages m_pages;
    std::vector<wxImage> m_images;
};

// The laid-out size of one page in points.
inline wxSize SheetPageSize()
{
    return wxSize(CSheetPages::kA4Width, CSheetPages::kA4Height);
}
