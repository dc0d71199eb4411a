#include "ImageBarCodeDlg.h"

#include "barcode/SymbolVector.h"

#include <cairo.h>
#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cstdint>
#include <cstring>

namespace {

const int kTopMargin = 8;

// The symbol drawn from its shapes at `scale` device pixels per window pixel, so
// that a screen at twice the density gets bars of its own pixels, not doubled ones.
wxBitmap VectorBitmap(const CSymbolVector& symbol, int width, int height, double scale)
{
    const int pixelsWide = static_cast<int>(width * scale + 0.5), pixelsHigh = static_cast<int>(height * scale + 0.5);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pixelsWide, pixelsHigh);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    symbol.Draw(cr, 0, 0, pixelsWide, pixelsHigh);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    wxImage picture(pixelsWide, pixelsHigh);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < pixelsHigh; ++y) {
        for (int x = 0; x < pixelsWide; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, data + y * stride + 4 * x, sizeof pixel);
            picture.SetRGB(x, y, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        }
    }
    cairo_surface_destroy(surface);
    return wxBitmap(picture, -1, scale);
}

}  // namespace

wxBitmap SheetImageBitmap(const SSheetImage& image, int width, int height, double scale)
{
    if (image.vector && width > 0 && height > 0 && scale > 1)
        return VectorBitmap(*image.vector, width, height, scale);
    if (image.bmp.empty())
        return wxBitmap();
    wxLogNull quiet;  // a picture that cannot be read is simply not drawn
    wxMemoryInputStream stream(image.bmp.data(), image.bmp.size());
    wxImage picture(stream, wxBITMAP_TYPE_BMP);
    if (!picture.IsOk())
        return wxBitmap();
    if (width > 0 && height > 0 && (width != picture.GetWidth() || height != picture.GetHeight())) {
        // Shrinking averages the bars into grey edges; growing keeps them sharp.
        const bool shrinking = width < picture.GetWidth() || height < picture.GetHeight();
        picture.Rescale(width, height, shrinking ? wxIMAGE_QUALITY_HIGH : wxIMAGE_QUALITY_NEAREST);
    }
    return wxBitmap(picture);
}

CImageBarCodeDlg::CImageBarCodeDlg(wxWindow* parent)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxBORDER_SUNKEN)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetScrollRate(0, kScrollStep);
    Bind(wxEVT_PAINT, &CImageBarCodeDlg::OnPaint, this);
    Bind(wxEVT_SIZE, &CImageBarCodeDlg::OnSize, this);
}

void CImageBarCodeDlg::RefreshSheet()
{
    m_bitmaps.clear();
    for (const SSheetImage& image : m_sheet.GetImages())
        m_bitmaps.push_back(
            SheetImageBitmap(image, m_sheet.DrawnWidth(), m_sheet.DrawnHeight(), GetContentScaleFactor()));
    m_frames.clear();
    for (int which = 0; which < CBarcodeSheet::FRAME_COUNT; ++which)
        m_frames.push_back(SheetImageBitmap(m_sheet.GetFrameImage(which)));
    SetVirtualSize(-1, m_sheet.ScrollRange() + kTopMargin);
    Refresh();
}

void CImageBarCodeDlg::OnSize(wxSizeEvent& event)
{
    Refresh();
    event.Skip();
}

void CImageBarCodeDlg::OnPaint(wxPaintEvent&)
{
    // Buffered: the sheet is drawn off screen first, so scrolling does not flicker.
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    DoPrepareDC(dc);
    PaintSheet(dc);
}

int CImageBarCodeDlg::PaintFrame(wxDC& dc, int which, int y) const
{
    const wxBitmap& frame = m_frames[which];
    if (!frame.IsOk())
        return y;
    dc.DrawBitmap(frame, (GetClientSize().GetWidth() - frame.GetWidth()) / 2, y);
    return y + frame.GetHeight() + m_sheet.interval;
}

void CImageBarCodeDlg::PaintCaption(wxDC& dc, size_t index, int y, int height) const
{
    dc.DrawLabel(m_sheet.CaptionOf(index), wxRect(0, y, GetClientSize().GetWidth(), height), wxALIGN_CENTER);
}

void CImageBarCodeDlg::PaintSheet(wxDC& dc) const
{
    int y = kTopMargin;
    const int bottom = GetViewStart().y * kScrollStep + GetClientSize().GetHeight();
    if (m_sheet.framed && m_frames.size() == CBarcodeSheet::FRAME_COUNT) {
        y = PaintFrame(dc, CBarcodeSheet::FRAME_ENTER, y);
        y = PaintFrame(dc, CBarcodeSheet::FRAME_HEAD, y);
    }
    const bool above = m_sheet.showCaption && m_sheet.captionAbove;
    const bool below = m_sheet.showCaption && !m_sheet.captionAbove;
    for (size_t i = 0; i < m_bitmaps.size() && y <= bottom; ++i) {
        if (above && i < m_sheet.GetCaptions().size()) {
            PaintCaption(dc, i, y, m_sheet.lineHeight - 4);
            y += m_sheet.lineHeight;
        }
        if (m_bitmaps[i].IsOk())
            dc.DrawBitmap(m_bitmaps[i], (GetClientSize().GetWidth() - m_sheet.DrawnWidth()) / 2, y);
        if (below) {
            PaintCaption(dc, i, y + m_sheet.DrawnHeight(), m_sheet.lineHeight);
            y += m_sheet.lineHeight;
        }
        y += m_sheet.DrawnHeight() + m_sheet.interval;
    }
    if (m_sheet.framed && m_frames.size() == CBarcodeSheet::FRAME_COUNT && y <= bottom)
        PaintFrame(dc, CBarcodeSheet::FRAME_EXIT, y);
}
