#include "SymbolVector.h"

#include <cairo.h>
#include <zint.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The corners zint gives a MaxiCode hexagon, for either rotation.
void HexagonPath(cairo_t* cr, const SSymbolShape& hex)
{
    const double r = hex.diameter / 2;
    const double half = hex.diameter / 4;
    const double across = hex.diameter * 0.43301270189221932338;
    const bool upright = hex.rotation == 0 || hex.rotation == 180;
    const double upCorners[6][2] = {{0, r}, {across, half}, {across, -half}, {0, -r}, {-across, -half}, {-across, half}};
    const double sideCorners[6][2] = {{-r, 0}, {-half, across}, {half, across}, {r, 0}, {half, -across}, {-half, -across}};
    const auto& corners = upright ? upCorners : sideCorners;
    cairo_move_to(cr, hex.x + corners[0][0], hex.y + corners[0][1]);
    for (int i = 1; i < 6; ++i)
        cairo_line_to(cr, hex.x + corners[i][0], hex.y + corners[i][1]);
    cairo_close_path(cr);
}

void FillShape(cairo_t* cr, const SSymbolShape& shape)
{
    const double level = shape.background ? 1.0 : 0.0;
    cairo_set_source_rgb(cr, level, level, level);
    // On a coverage-only surface white is no coverage.
    const bool coverageOnly = cairo_surface_get_content(cairo_get_target(cr)) == CAIRO_CONTENT_ALPHA;
    cairo_set_operator(cr, shape.background && coverageOnly ? CAIRO_OPERATOR_CLEAR : CAIRO_OPERATOR_OVER);
    switch (shape.kind) {
    case SSymbolShape::Rect:
        cairo_rectangle(cr, shape.x, shape.y, shape.width, shape.height);
        cairo_fill(cr);
        break;
    case SSymbolShape::Hexagon:
        HexagonPath(cr, shape);
        cairo_fill(cr);
        break;
    case SSymbolShape::Circle:
        cairo_new_sub_path(cr);
        cairo_arc(cr, shape.x, shape.y, shape.diameter / 2, 0, 2 * M_PI);
        if (shape.width > 0) {
            cairo_set_line_width(cr, shape.width);
            cairo_stroke(cr);
        } else {
            cairo_fill(cr);
        }
        break;
    }
}

// A row of cairo's one-bit coverage (first pixel in the lowest bit of each byte on
// little-endian machines, the highest on big-endian ones; set = covered) as a row
// of the picture (first pixel in the highest bit; set = white).
void PackCoverageRow(const unsigned char* coverage, uint8_t* bits, size_t bytes)
{
    static const auto table = [] {
        std::array<uint8_t, 256> reversed{};
        for (int value = 0; value < 256; ++value) {
            uint8_t mirrored = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (value & (1 << bit))
                    mirrored |= static_cast<uint8_t>(0x80 >> bit);
            reversed[value] = static_cast<uint8_t>(~mirrored);
        }
        return reversed;
    }();
    const uint16_t probe = 1;
    const bool littleEndian = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    for (size_t i = 0; i < bytes; ++i)
        bits[i] = littleEndian ? table[coverage[i]] : static_cast<uint8_t>(~coverage[i]);
}

}  // namespace

bool CSymbolVector::Take(const zint_vector* vector, double pixelsPerUnit, const SReadableFont* font)
{
    m_shapes.clear();
    m_texts.clear();
    if (!vector || vector->width <= 0 || vector->height <= 0 || pixelsPerUnit <= 0)
        return false;
    m_width = vector->width;
    m_height = vector->height;
    for (const zint_vector_rect* rect = vector->rectangles; rect; rect = rect->next) {
        SSymbolShape shape;
        shape.x = rect->x, shape.y = rect->y, shape.width = rect->width, shape.height = rect->height;
        // zint numbers colours 1-8 for its colour codes; 8 is white.
        shape.background = rect->colour == 8;
        m_shapes.push_back(shape);
    }
    for (const zint_vector_hexagon* hex = vector->hexagons; hex; hex = hex->next) {
        SSymbolShape shape;
        shape.kind = SSymbolShape::Hexagon;
        shape.x = hex->x, shape.y = hex->y, shape.diameter = hex->diameter, shape.rotation = hex->rotation;
        m_shapes.push_back(shape);
    }
    for (const zint_vector_circle* circle = vector->circles; circle; circle = circle->next) {
        SSymbolShape shape;
        shape.kind = SSymbolShape::Circle;
        shape.x = circle->x, shape.y = circle->y, shape.diameter = circle->diameter, shape.width = circle->width;
        shape.background = circle->colour != 0;
        m_shapes.push_back(shape);
    }
    for (const zint_vector_string* string = vector->strings; string; string = string->next) {
        const wxString text = wxString::FromUTF8(reinterpret_cast<const char*>(string->text), string->length);
        if (font) {
            PlaceText(text, pixelsPerUnit, *font);
            continue;
        }
        SSymbolText placed;
        placed.text = text;
        placed.centreX = string->x;
        placed.style.size = string->fsize;
        // zint gives the baseline; a Sans line's ascent is close to its em size.
        placed.top = string->y - string->fsize;
        m_texts.push_back(placed);
    }
    return true;
}

void CSymbolVector::PlaceText(const wxString& text, double pixelsPerUnit, const SReadableFont& font)
{
    double barsBottom = 0;
    for (const SSymbolShape& shape : m_shapes)
        barsBottom = std::max(barsBottom, shape.y + shape.height);
    SSymbolText placed;
    placed.text = text;
    placed.centreX = m_width / 2;
    placed.style.size = font.height / pixelsPerUnit;
    placed.style.weight = font.weight;
    // The width of the font is its average character width: the face's own is
    // stretched or narrowed to it.
    const STextExtent natural = MeasureText(text, placed.style);
    if (font.width > 0 && natural.width > 0 && !text.empty())
        placed.style.widthScale = font.width / pixelsPerUnit * static_cast<double>(text.length()) / natural.width;
    const double gap = placed.style.size * 0.2;
    placed.top = barsBottom + gap;
    m_texts.push_back(placed);
    m_height = std::max(m_height, placed.top + natural.height + gap);
    m_width = std::max(m_width, natural.width * placed.style.widthScale);
}

void CSymbolVector::Draw(cairo_t* cr, double left, double top, double width, double height) const
{
    if (m_width <= 0 || m_height <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, left, top);
    cairo_scale(cr, width / m_width, height / m_height);
    for (const SSymbolShape& shape : m_shapes)
        FillShape(cr, shape);
    for (const SSymbolText& text : m_texts) {
        const double textWidth = MeasureText(text.text, text.style).width;
        DrawText(cr, text.text, text.style, text.centreX - textWidth / 2, text.top);
    }
    cairo_restore(cr);
}

SMonoImage CSymbolVector::Rasterise(double pixelsPerUnit) const
{
    SMonoImage image;
    image.width = std::max(1, static_cast<int>(std::lround(m_width * pixelsPerUnit)));
    image.height = std::max(1, static_cast<int>(std::lround(m_height * pixelsPerUnit)));
    image.bits.assign(image.RowBytes() * image.height, 0xFF);
    // One bit of coverage a pixel is all a black-and-white picture needs, and a
    // thirty-second of the memory a colour surface would fill.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A1, image.width, image.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return image;
    }
    cairo_t* cr = cairo_create(surface);
    // Bars sit on whole pixels at the renderer's scale; smoothing would only grey their edges.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    Draw(cr, 0, 0, image.width, image.height);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        PackCoverageRow(data + static_cast<size_t>(y) * stride, image.bits.data() + y * image.RowBytes(),
                        image.RowBytes());
    cairo_surface_destroy(surface);
    return image;
}
