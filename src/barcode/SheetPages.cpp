#include "SheetPages.h"

#include <cairo.h>

namespace {

// A fixed picture without shapes, its pixels stretched to the box unsmoothed.
void DrawPixels(cairo_t* cr, const SMonoImage& pixels, const SPlacedItem& item, double top)
{
    if (pixels.width <= 0 || pixels.height <= 0)
        return;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pixels.width, pixels.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < pixels.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < pixels.width; ++x)
            row[x] = pixels.IsWhite(x, y) ? 0xFFFFFF : 0;
    }
    cairo_surface_mark_dirty(surface);
    cairo_save(cr);
    cairo_translate(cr, item.left, top);
    cairo_scale(cr, item.width / pixels.width, item.height / pixels.height);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

}  // namespace

void CSheetPages::DrawImage(const SSheetImage& image, double left, double top, double width, double height)
{
    SPageImage placed;
    placed.vector = image.vector;
    if (!placed.vector)
        DecodeBmp(image.bmp.data(), image.bmp.size(), placed.pixels);
    m_images.push_back(std::move(placed));
    SPlacedItem item;
    item.imageIndex = static_cast<int>(m_images.size()) - 1;
    item.left = left;
    item.top = top;
    item.width = width;
    item.height = height;
    m_pages.back().push_back(item);
}

void CSheetPages::DrawText(double left, double top, const wxString& text, double wrapWidth, bool centred)
{
    SPlacedItem item;
    item.isText = true;
    item.text = text;
    item.centred = centred;
    item.left = left;
    item.top = top;
    item.width = wrapWidth;
    item.height = MeasureText(text, wrapWidth).height;
    m_pages.back().push_back(item);
}

STextStyle CSheetPages::TextStyle(double wrapWidth, bool centred) const
{
    STextStyle style;
    style.size = m_textSize;
    style.wrapWidth = wrapWidth;
    style.centred = centred;
    return style;
}

STextExtent CSheetPages::MeasureText(const wxString& text, double wrapWidth) const
{
    return ::MeasureText(text, TextStyle(wrapWidth, false));
}

void CSheetPages::DrawPage(cairo_t* cr, size_t index) const
{
    if (index >= m_pages.size())
        return;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, PageWidth(), PageHeight());
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    for (const SPlacedItem& item : m_pages[index]) {
        const double top = PageHeight() - item.top;
        if (item.isText) {
            ::DrawText(cr, item.text, TextStyle(item.width, item.centred), item.left, top);
            continue;
        }
        const SPageImage& image = m_images[item.imageIndex];
        if (image.vector)
            image.vector->Draw(cr, item.left, top, item.width, item.height);
        else
            DrawPixels(cr, image.pixels, item, top);
    }
    cairo_restore(cr);
}
