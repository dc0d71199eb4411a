#include "SheetOutput.h"

#include "DocxWriter.h"
#include "SheetPages.h"
#include "app/UiText.h"

#include <wx/filefn.h>
#include <wx/log.h>

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

const double kLineStep = 26;
const double kHeaderLeft = 60;
const double kFirstBarcodeOffset = 156;
const double kBottomMargin = 55;
const double kPointsPerInch = 72;
const double kDocxDotsPerInch = 600;

using CSurface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using CContext = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

// Where the next line or barcode goes, moving down the pages of `target`.
class CSheetCursor {
public:
    explicit CSheetCursor(ISheetTarget& target) : m_target(target), m_y(target.PageHeight() - kLineStep) {}

    double Y() const { return m_y; }
    void MoveTo(double y) { m_y = y; }
    void Down(double amount)
    {
        m_y -= amount;
        if (m_y < kBottomMargin)
            NewPage();
    }
    void NewPage()
    {
        m_target.NewPage();
        m_y = m_target.PageHeight() - kLineStep;
    }
    double WrapWidth() const { return m_target.PageWidth() - 2 * kHeaderLeft; }
    // A line takes one step; each further line of a wrapped text adds its own height.
    double StepOf(const wxString& text) const
    {
        const STextExtent extent = m_target.MeasureText(text, WrapWidth());
        return kLineStep + std::max(0.0, extent.height - extent.firstLineHeight);
    }
    void CentredLine(const wxString& text)
    {
        m_target.DrawText(kHeaderLeft, m_y, text, WrapWidth(), true);
        Down(StepOf(text));
    }

private:
    ISheetTarget& m_target;
    double m_y;
};

void PlaceOutputItem(const SOutputItem& item, int interval, ISheetTarget& target, CSheetCursor& cursor)
{
    const bool hasCaption = !item.caption.empty();
    if (hasCaption && item.captionAbove)
        cursor.CentredLine(item.caption);
    const double width = std::min(item.width, target.PageWidth());
    const double height = std::min(item.height, target.PageHeight());
    if (cursor.Y() - interval - height < 0)
        cursor.NewPage();
    target.DrawImage(*item.image, (target.PageWidth() - width) / 2, cursor.Y(), width, height);
    // A caption below comes after the interval, as on the sheets scanners were
    // configured from until now: sheets printed before look the same.
    cursor.Down(interval + height);
    if (hasCaption && !item.captionAbove)
        cursor.CentredLine(item.caption);
}

// Written beside the target first and renamed over it once complete, so a failed
// write never spoils an existing file.
bool ReplaceWithPart(const wxString& part, const wxString& path, bool written, wxString& error)
{
    wxLogNull quiet;  // the failure is reported to the caller; a part file may not even exist
    if (written && wxRenameFile(part, path, true))
        return true;
    wxRemoveFile(part);
    error = "the file could not be written";
    return false;
}

// The part of page `index`'s picture on an image surface of its own.
CSurface RenderPagePart(const CSheetPages& pages, size_t index, double pixelsPerPoint, const SPixelRect& part)
{
    CSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, part.width, part.height), cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return surface;
    CContext cr(cairo_create(surface.get()), cairo_destroy);
    // The last row of pixels may reach past the page's edge; paper is white there too.
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    cairo_translate(cr.get(), -part.left, -part.top);
    cairo_scale(cr.get(), pixelsPerPoint, pixelsPerPoint);
    pages.DrawPage(cr.get(), index);
    cr.reset();
    cairo_surface_flush(surface.get());
    return surface;
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// One barcode alone at Word's picture resolution, as a PNG file in memory.
std::vector<uint8_t> BarcodePng(const SSheetImage& image, double width, double height)
{
    CSheetPages single;
    const double scale = kDocxDotsPerInch / kPointsPerInch;
    const int pixelsWide = std::max(1, static_cast<int>(std::lround(width * scale)));
    const int pixelsHigh = std::max(1, static_cast<int>(std::lround(height * scale)));
    CSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, pixelsWide, pixelsHigh), cairo_surface_destroy);
    std::vector<uint8_t> png;
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return png;
    // Placed with its upper edge at the page's top, so the page's top-left is the picture's.
    single.DrawImage(image, 0, single.PageHeight(), width, height);
    CContext cr(cairo_create(surface.get()), cairo_destroy);
    cairo_scale(cr.get(), scale, scale);
    single.DrawPage(cr.get(), 0);
    cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &png);
    return png;
}

}  // namespace

std::vector<wxString> HeaderLines(const SSheetHeader& header, const wxDateTime& when)
{
    return {
        GetUiText("ID_BARCODE_SHEET_TITLE", "Title:") + " " + header.title,
        GetUiText("ID_BARCODE_SHEET_DATE", "Date Built:") + " " +
            wxString::Format("%04d-%2d-%02d %02d:%02d:%02d", when.GetYear(), when.GetMonth() + 1, when.GetDay(),
                             when.GetHour(), when.GetMinute(), when.GetSecond()),
        GetUiText("ID_BARCODE_SHEET_PRODUCT", "Product:") + " " + header.product,
        GetUiText("ID_BARCODE_SHEET_COMMENTS", "Comments:") + " " + header.comments,
    };
}

wxDateTime SheetTime()
{
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    char* end = nullptr;
    const long long seconds = epoch ? std::strtoll(epoch, &end, 10) : -1;
    if (!epoch || end == epoch || *end != '\0' || seconds < 0)
        return wxDateTime::Now();
    return wxDateTime(static_cast<time_t>(seconds));
}

std::vector<SOutputItem> OutputItems(const CBarcodeSheet& sheet)
{
    std::vector<SOutputItem> items;
    const auto addFrame = [&](int which) {
        const SSheetImage& frame = sheet.GetFrameImage(which);
        if (!frame.bmp.empty())
            items.push_back({&frame, wxString(), false, frame.width, frame.height});
    };
    if (sheet.framed) {
        addFrame(CBarcodeSheet::FRAME_ENTER);
        addFrame(CBarcodeSheet::FRAME_HEAD);
    }
    const auto& images = sheet.GetImages();
    for (size_t i = 0; i < images.size(); ++i) {
        const wxString caption = sheet.showCaption ? sheet.CaptionOf(i) : wxString();
        items.push_back({&images[i], caption, sheet.captionAbove, sheet.DrawnWidth(), sheet.DrawnHeight()});
    }
    if (sheet.framed)
        addFrame(CBarcodeSheet::FRAME_EXIT);
    return items;
}

void LayOutSheet(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, ISheetTarget& target)
{
    target.SetTextSize(10);
    CSheetCursor cursor(target);
    for (const wxString& line : headerLines) {
        target.DrawText(kHeaderLeft, cursor.Y(), line, cursor.WrapWidth(), false);
        cursor.MoveTo(cursor.Y() - cursor.StepOf(line));
    }
    // Header lines that wrapped push the first barcode down by what they took.
    cursor.MoveTo(std::min(target.PageHeight() - kFirstBarcodeOffset, cursor.Y() - kLineStep));
    for (const SOutputItem& item : OutputItems(sheet))
        PlaceOutputItem(item, sheet.interval, target, cursor);
}

bool SaveSheetAsPdf(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                    wxString& error)
{
    CSheetPages pages;
    LayOutSheet(sheet, headerLines, pages);
    const wxString part = path + ".part";
    CSurface surface(cairo_pdf_surface_create(part.utf8_str(), pages.PageWidth(), pages.PageHeight()),
                     cairo_surface_destroy);
    CContext cr(cairo_create(surface.get()), cairo_destroy);
    for (size_t i = 0; i < pages.GetPages().size(); ++i) {
        pages.DrawPage(cr.get(), i);
        cairo_show_page(cr.get());
    }
    cr.reset();
    cairo_surface_finish(surface.get());
    const bool written = cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS;
    return ReplaceWithPart(part, path, written, error);
}

wxString PngPagePath(const wxString& path, size_t index)
{
    if (index == 0)
        return path;
    const wxString stem = path.Lower().EndsWith(".png") ? path.Left(path.length() - 4) : path;
    return wxString::Format("%s-%zu.png", stem, index + 1);
}

bool SaveSheetAsPng(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                    wxString& error)
{
    CSheetPages pages;
    LayOutSheet(sheet, headerLines, pages);
    // One picture a page: a long sheet as one picture would take memory without bound.
    for (size_t i = 0; i < pages.GetPages().size(); ++i) {
        const double scale = kPngDotsPerInch / kPointsPerInch;
        const CSurface surface = RenderPagePart(pages, i, scale, PagePixels(pages, scale));
        const wxString target = PngPagePath(path, i);
        const wxString part = target + ".part";
        const bool written = cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS &&
                             cairo_surface_write_to_png(surface.get(), part.utf8_str()) == CAIRO_STATUS_SUCCESS;
        if (!ReplaceWithPart(part, target, written, error))
            return false;
    }
    return true;
}

bool SaveSheetAsDocx(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                     wxString& error)
{
    CDocxWriter writer;
    for (const wxString& line : headerLines)
        writer.AddParagraph(line);
    for (const SOutputItem& item : OutputItems(sheet)) {
        if (!item.caption.empty() && item.captionAbove)
            writer.AddParagraph(item.caption);
        writer.AddPicture(BarcodePng(*item.image, item.width, item.height), item.width, item.height);
        if (!item.caption.empty() && !item.captionAbove)
            writer.AddParagraph(item.caption);
    }
    if (!writer.SaveToFile(path)) {
        error = "the file could not be written";
        return false;
    }
    return true;
}

SPixelRect PagePixels(const CSheetPages& pages, double pixelsPerPoint)
{
    SPixelRect whole;
    whole.width = static_cast<int>(std::ceil(pages.PageWidth() * pixelsPerPoint));
    whole.height = static_cast<int>(std::ceil(pages.PageHeight() * pixelsPerPoint));
    return whole;
}

std::vector<unsigned char> RenderPageRgb(const CSheetPages& pages, size_t index, double pixelsPerPoint,
                                         const SPixelRect& part)
{
    std::vector<unsigned char> rgb;
    if (part.width <= 0 || part.height <= 0)
        return rgb;
    const CSurface surface = RenderPagePart(pages, index, pixelsPerPoint, part);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return rgb;
    const int stride = cairo_image_surface_get_stride(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    rgb.reserve(static_cast<size_t>(part.width) * part.height * 3);
    for (int y = 0; y < part.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < part.width; ++x) {
            rgb.push_back(static_cast<unsigned char>(row[x] >> 16));
            rgb.push_back(static_cast<unsigned char>(row[x] >> 8));
            rgb.push_back(static_cast<unsigned char>(row[x]));
        }
    }
    return rgb;
}
