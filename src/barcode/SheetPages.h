// The sheet laid out as pages of placed lines and barcodes, in points on an A4 page,
// and the one drawing of such a page on a cairo context: the PDF file, the PNG
// picture, the print preview and the printout all draw it.
#pragma once

#include "BarcodeSheet.h"
#include "SheetText.h"

#include <memory>
#include <vector>

// What the sheet layout places its lines and barcodes on. `top` is measured from the
// bottom of the page, as PDF does, and is the upper edge of what is placed.
class ISheetTarget {
public:
    virtual ~ISheetTarget() = default;
    virtual void SetTextSize(double size) = 0;
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual void DrawImage(const SSheetImage& image, double left, double top, double width, double height) = 0;
    // Text wrapped to `wrapWidth`, its lines centred in it or flush left.
    virtual void DrawText(double left, double top, const wxString& text, double wrapWidth, bool centred) = 0;
    virtual STextExtent MeasureText(const wxString& text, double wrapWidth) const = 0;
    virtual void NewPage() = 0;
};

struct SPlacedItem {
    bool isText = false;
    wxString text;
    bool centred = false;
    int imageIndex = -1;  // into CSheetPages::GetImages()
    double left = 0;
    double top = 0;       // from the bottom of the page, as PDF measures
    double width = 0;     // of a text: its wrap width
    double height = 0;
};

// A placed barcode: its shapes, or the pixels of a fixed picture that has none.
struct SPageImage {
    std::shared_ptr<const CSymbolVector> vector;
    SMonoImage pixels;
};

class CSheetPages : public ISheetTarget {
public:
    static constexpr int kA4Width = 595;
    static constexpr int kA4Height = 842;

    CSheetPages() : m_pages(1) {}

    void SetTextSize(double size) override { m_textSize = size; }
    double GetTextSize() const { return m_textSize; }
    int PageWidth() const override { return kA4Width; }
    int PageHeight() const override { return kA4Height; }
    void DrawImage(const SSheetImage& image, double left, double top, double width, double height) override;
    void DrawText(double left, double top, const wxString& text, double wrapWidth, bool centred) override;
    STextExtent MeasureText(const wxString& text, double wrapWidth) const override;
    void NewPage() override { m_pages.emplace_back(); }

    const std::vector<std::vector<SPlacedItem>>& GetPages() const { return m_pages; }
    const std::vector<SPageImage>& GetImages() const { return m_images; }

    // Page `index` (from 0) on `cr`, whose units are points with the page's upper
    // left corner at the origin; the page is filled white first.
    void DrawPage(cairo_t* cr, size_t index) const;

private:
    STextStyle TextStyle(double wrapWidth, bool centred) const;

    std::vector<std::vector<SPlacedItem>> m_pages;
    std::vector<SPageImage> m_images;
    double m_textSize = 10;
};
