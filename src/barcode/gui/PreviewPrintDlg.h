// The print preview of a barcode sheet with zoom, printing and the printer choice,
// and the printout that puts the same pages on paper.
#pragma once

#include "SheetPageArt.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/print.h>
#include <wx/scrolwin.h>

#include <memory>

// The pages one under another at the zoom factor (1.0: actual size on screen).
class CPrintPreviewZoomView : public wxScrolledWindow {
public:
    CPrintPreviewZoomView(wxWindow* parent, const CSheetPageArt& art);

    double GetZoom() const { return m_zoom; }
    void ZoomIn() { SetZoom(m_zoom + 1.0); }
    void ZoomOut() { SetZoom(m_zoom - 1.0); }
    void ZoomActual() { SetZoom(1.0); }
    // A factor within 1e-6 of 0, or below it, is taken as 1.0: the preview never
    // shows the sheet smaller than it is.
    void SetZoom(double zoom);
    static double NormalZoom(double zoom);
    // Page `index` as the preview draws it, whole, at `pixelsPerPoint`.
    wxImage PagePicture(size_t index, double pixelsPerPoint) const;

private:
    wxRect PageRect(size_t index) const;
    double PixelsPerPoint() const;
    void UpdateVirtualSize();
    void OnPaint(wxPaintEvent& event);

    const CSheetPageArt& m_art;
    double m_zoom = 1.0;
};

class CBarcodePrintout : public wxPrintout {
public:
    explicit CBarcodePrintout(const CSheetPageArt& art);

    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* fromPage, int* toPage) override;
    bool OnPrintPage(int page) override;

private:
    const CSheetPageArt& m_art;
};

class CPreviewPrintDlg : public wxDialog {
public:
    CPreviewPrintDlg(wxWindow* parent, const CBarcodeSheet& sheet, const SSheetHeader& header);

    CPrintPreviewZoomView* GetView() const { return m_view; }
    // Prints on the stored printer, asking for one first when none is stored.
    bool Print();
    // Asks for a printer and stores the choice.
    bool SelectPrinter();

private:
    void CreateControls();

    std::unique_ptr<CSheetPageArt> m_art;
    CPrintPreviewZoomView* m_view = nullptr;
    wxPrintDialogData m_printData;
};
