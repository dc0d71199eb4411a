// The barcode sheet of one page on screen: the images one under another, optionally
// framed by the fixed setup pictures and captioned, scrolled vertically.
#pragma once

#include "barcode/BarcodeSheet.h"

#include <wx/bitmap.h>
#include <wx/scrolwin.h>

#include <vector>

class CImageBarCodeDlg : public wxScrolledWindow {
public:
    explicit CImageBarCodeDlg(wxWindow* parent);

    CBarcodeSheet& GetSheet() { return m_sheet; }
    const CBarcodeSheet& GetSheet() const { return m_sheet; }

    // Takes the sheet's images and sizes again: new bitmaps, scroll range, repaint.
    void RefreshSheet();

    // Line step of the scroll bar in pixels.
    static const int kScrollStep = 28;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void PaintSheet(wxDC& dc) const;
    int PaintFrame(wxDC& dc, int which, int y) const;
    void PaintCaption(wxDC& dc, size_t index, int y, int height) const;

    CBarcodeSheet m_sheet;
    std::vector<wxBitmap> m_bitmaps;  // at their drawn size
    std::vector<wxBitmap> m_frames;
};

// A bitmap of a sheet image, scaled to `width` by `height` (own size when 0); a
// symbol with its shapes is drawn at `scale` screen pixels per window pixel.
wxBitmap SheetImageBitmap(const SSheetImage& image, int width = 0, int height = 0, double scale = 1);
