#include "SheetText.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>

namespace {

// Settings captions are plain names and values; "Sans" lets fontconfig choose a
// Latin face and fall back to a CJK one per character.
const char* const kFamily = "Sans";

// Unhinted metrics make a line break at the same place on the PDF, the PNG and the
// printer: hinting would round glyph advances to each surface's pixel grid.
void UseSurfaceIndependentMetrics(PangoLayout* layout)
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);
}

// Layouts are made on a context of their own, whatever surface they are shown on:
// the lines then break alike everywhere, and a horizontal stretch of the target
// context narrows glyphs and advances together.
cairo_t* LayoutContext()
{
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    static cairo_t* cr = cairo_create(surface);
    return cr;
}

PangoLayout* CreateLayout(const wxString& text, const STextStyle& style)
{
    PangoLayout* layout = pango_cairo_create_layout(LayoutContext());
    // Settings sheets are Simplified Chinese or English: Han characters take the
    // Simplified Chinese forms whatever the locale; Latin text is unaffected.
    pango_context_set_language(pango_layout_get_context(layout), pango_language_from_string("zh-cn"));
    UseSurfaceIndependentMetrics(layout);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kFamily);
    pango_font_description_set_absolute_size(font, std::max(0.1, style.size) * PANGO_SCALE);
    pango_font_description_set_weight(font, static_cast<PangoWeight>(std::clamp(style.weight, 100, 1000)));
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    if (style.wrapWidth > 0) {
        pango_layout_set_width(layout, static_cast<int>(style.wrapWidth / style.widthScale * PANGO_SCALE));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_alignment(layout, style.centred ? PANGO_ALIGN_CENTER : PANGO_ALIGN_LEFT);
    const wxScopedCharBuffer utf8 = text.utf8_str();
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.length()));
    return layout;
}

}  // namespace

STextExtent MeasureText(const wxString& text, const STextStyle& style)
{
    PangoLayout* layout = CreateLayout(text, style);
    PangoRectangle logical{};
    pango_layout_get_extents(layout, nullptr, &logical);
    STextExtent extent;
    extent.width = static_cast<double>(logical.width) / PANGO_SCALE * style.widthScale;
    extent.height = static_cast<double>(logical.height) / PANGO_SCALE;
    extent.lines = pango_layout_get_line_count(layout);
    PangoRectangle first{};
    if (PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0))
        pango_layout_line_get_extents(line, nullptr, &first);
    extent.firstLineHeight = static_cast<double>(first.height) / PANGO_SCALE;
    g_object_unref(layout);
    return extent;
}

void DrawText(cairo_t* cr, const wxString& text, const STextStyle& style, double left, double top)
{
    cairo_save(cr);
    cairo_translate(cr, left, top);
    cairo_scale(cr, style.widthScale, 1.0);
    PangoLayout* layout = CreateLayout(text, style);
    cairo_set_source_rgb(cr, 0, 0, 0);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    cairo_restore(cr);
}
