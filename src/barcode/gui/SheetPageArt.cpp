#include "SheetPageArt.h"

#include <wx/bitmap.h>

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

CSheetPageArt::CSheetPageArt(const CBarcodeSheet& sheet, const SSheetHeader& header)
{
    LayOutSheet(sheet, HeaderLines(header, SheetTime()), m_pages);
}

wxImage CSheetPageArt::RenderPage(size_t index, double pixelsPerPoint, const wxRect& area) const
{
    SPixelRect part = PagePixels(m_pages, pixelsPerPoint);
    if (!area.IsEmpty())
        part = SPixelRect{area.x, area.y, area.width, area.height};
    std::vector<unsigned char> rgb = RenderPageRgb(m_pages, index, pixelsPerPoint, part);
    if (rgb.empty())
        return wxImage();
    // wxImage takes ownership of a malloc'd buffer.
    auto* data = static_cast<unsigned char*>(std::malloc(rgb.size()));
    if (!data)
        return wxImage();
    std::memcpy(data, rgb.data(), rgb.size());
    return wxImage(part.width, part.height, data);
}

void CSheetPageArt::PrintPage(wxDC& dc, size_t index) const
{
    int width = 0;
    int height = 0;
    dc.GetSize(&width, &height);
    const wxSize sheet = SheetPageSize();
    const double scale = std::min(static_cast<double>(width) / sheet.GetWidth(),
                                  static_cast<double>(height) / sheet.GetHeight());
    // wxGTK's printer context is cairo in device pixels: the bars go to the printer
    // as shapes and come out exact at its own resolution.
    if (auto* cr = static_cast<cairo_t*>(dc.GetImpl()->GetCairoContext())) {
        cairo_save(cr);
        cairo_scale(cr, scale, scale);
        m_pages.DrawPage(cr, index);
        cairo_restore(cr);
        return;
    }
    const wxImage page = RenderPage(index, scale);
    if (page.IsOk())
        dc.DrawBitmap(wxBitmap(page), 0, 0);
}
