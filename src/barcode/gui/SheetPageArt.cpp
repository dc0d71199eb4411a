#include "SheetPageArt.h"

#include <cmath>

namespace {

wxImage ToImage(const SMonoImage& mono)
{
    wxImage image(mono.width, mono.height, false);
    unsigned char* rgb = image.GetData();
    for (int y = 0; y < mono.height; ++y) {
        for (int x = 0; x < mono.width; ++x) {
            const unsigned char level = mono.IsWhite(x, y) ? 255 : 0;
            rgb[0] = rgb[1] = rgb[2] = level;
            rgb += 3;
        }
    }
    return image;
}

}  // namespace

CSheetPageArt::CSheetPageArt(const CBarcodeSheet& sheet, const SSheetHeader& header)
{
    LayOutSheetOnPdf(sheet, HeaderLines(header, wxDateTime::Now()), m_pages);
    for (const SMonoImage& mono : m_pages.GetImages())
        m_images.push_back(ToImage(mono));
}

void CSheetPageArt::DrawPage(wxDC& dc, size_t index, double pixelsPerPoint, const wxPoint& origin) const
{
    if (index >= GetPageCount())
        return;
    const double pageHeight = m_pages.PageHeight();
    const auto device = [&](double points) { return static_cast<int>(std::lround(points * pixelsPerPoint)); };
    wxFont font(wxFontInfo().Family(wxFONTFAMILY_SWISS));
    font.SetPixelSize(wxSize(0, std::max(1, device(m_pages.GetTextSize()))));
    dc.SetFont(font);
    dc.SetTextForeground(*wxBLACK);
    for (const SPlacedItem& item : m_pages.GetPages()[index]) {
        const int x = origin.x + device(item.left);
        const int y = origin.y + device(pageHeight - item.top);
        if (item.isText) {
            dc.DrawText(item.text, x, y);
            continue;
        }
        const int width = std::max(1, device(item.width));
        const int height = std::max(1, device(item.height));
        const wxImage& source = m_images[item.imageIndex];
        const bool shrinking = width < source.GetWidth() || height < source.GetHeight();
        dc.DrawBitmap(wxBitmap(source.Scale(width, height, shrinking ? wxIMAGE_QUALITY_HIGH : wxIMAGE_QUALITY_NEAREST)),
                      x, y);
    }
}
