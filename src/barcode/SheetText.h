// Text of the settings sheets, laid out with Pango on cairo: any script renders
// with the fonts fontconfig finds (Chinese captions included), and long lines wrap.
// Sizes and positions are in the units of the cairo context they are drawn on.
#pragma once

#include <wx/string.h>

typedef struct _cairo cairo_t;

struct STextStyle {
    double size = 10;          // em size
    int weight = 400;          // 100 to 900, as fonts name it
    double widthScale = 1.0;   // horizontal stretch of the glyphs
    double wrapWidth = 0;      // 0: one line, however long
    bool centred = false;      // lines centred in the wrap width
};

// Width of the widest line and height of all lines.
struct STextExtent {
    double width = 0;
    double height = 0;
    double firstLineHeight = 0;
    int lines = 0;
};

STextExtent MeasureText(const wxString& text, const STextStyle& style);
// The text with its upper left corner at (left, top).
void DrawText(cairo_t* cr, const wxString& text, const STextStyle& style, double left, double top);
