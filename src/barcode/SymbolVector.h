// A barcode symbol as shapes: zint's vector output (bars and modules as rectangles,
// hexagons and circles, the human-readable line as text), kept so that every output
// draws the bars as exact filled paths at its own resolution.
#pragma once

#include "BmpImage.h"
#include "SheetText.h"

#include <wx/string.h>

#include <memory>
#include <vector>

struct zint_vector;

struct SSymbolShape {
    enum EKind { Rect, Hexagon, Circle } kind = Rect;
    double x = 0;        // Rect: upper left corner; Hexagon, Circle: centre
    double y = 0;
    double width = 0;    // Rect: width; Circle: ring width, 0 for a disc
    double height = 0;   // Rect: height
    double diameter = 0; // Hexagon, Circle
    int rotation = 0;    // Hexagon: 0, 90, 180, 270
    bool background = false;  // drawn white (the gaps of a bull's eye)
};

struct SSymbolText {
    wxString text;
    double centreX = 0;
    double top = 0;
    STextStyle style;
};

// The font of the human-readable line, in the renderer's pixels.
struct SReadableFont {
    int height = 60;
    int width = 24;   // average character width; 0: the face's own
    int weight = 400;
};

class CSymbolVector {
public:
    // Copies zint's shapes; `pixelsPerUnit` is how many renderer pixels a vector unit
    // stands for (zint draws a raster module at twice its vector size). With `font`
    // the symbol's text is set in it under the bars, the symbol growing to hold it.
    bool Take(const zint_vector* vector, double pixelsPerUnit, const SReadableFont* font);

    double Width() const { return m_width; }
    double Height() const { return m_height; }
    const std::vector<SSymbolShape>& Shapes() const { return m_shapes; }
    const std::vector<SSymbolText>& Texts() const { return m_texts; }

    // The symbol filling the box (left, top, width, height) of the context.
    void Draw(cairo_t* cr, double left, double top, double width, double height) const;
    // Black on white at `pixelsPerUnit`, without smoothing: bars keep whole pixels.
    SMonoImage Rasterise(double pixelsPerUnit) const;

private:
    void PlaceText(const wxString& text, double pixelsPerUnit, const SReadableFont& font);

    double m_width = 0;
    double m_height = 0;
    std::vector<SSymbolShape> m_shapes;
    std::vector<SSymbolText> m_texts;
};

// The shapes of the renderer's last barcode (HBSCodeMid's GenBarCode), or null.
std::shared_ptr<const CSymbolVector> GetLastSymbolVector();
