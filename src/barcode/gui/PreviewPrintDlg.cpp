#include "PreviewPrintDlg.h"

#include "app/UiText.h"
#include "barcode/PrinterSetting.h"
#include "UI/gui/Accessible.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/dcbuffer.h>
#include <wx/printdlg.h>
#include <wx/sizer.h>

#include <algorithm>
#include <cmath>

namespace {

// Screen pixels per point at actual size.
const double kScreenPixelsPerPoint = 96.0 / 72.0;
const int kPageGap = 16;

}  // namespace

CPrintPreviewZoomView::CPrintPreviewZoomView(wxWindow* parent, const CSheetPageArt& art)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(640, 600), wxVSCROLL | wxHSCROLL), m_art(art)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetScrollRate(20, 20);
    Bind(wxEVT_PAINT, &CPrintPreviewZoomView::OnPaint, this);
    UpdateVirtualSize();
}

double CPrintPreviewZoomView::NormalZoom(double zoom)
{
    return std::fabs(zoom) < 1e-6 || zoom < 1.0 ? 1.0 : zoom;
}

void CPrintPreviewZoomView::SetZoom(double zoom)
{
    m_zoom = NormalZoom(zoom);
    UpdateVirtualSize();
    Refresh();
}

double CPrintPreviewZoomView::PixelsPerPoint() const
{
    return m_zoom * kScreenPixelsPerPoint;
}

void CPrintPreviewZoomView::UpdateVirtualSize()
{
    const wxSize page = SheetPageSize();
    const int width = static_cast<int>(page.GetWidth() * PixelsPerPoint()) + 2 * kPageGap;
    const int pageHeight = static_cast<int>(page.GetHeight() * PixelsPerPoint());
    SetVirtualSize(width, static_cast<int>(m_art.GetPageCount()) * (pageHeight + kPageGap) + kPageGap);
}

wxRect CPrintPreviewZoomView::PageRect(size_t index) const
{
    const wxSize page = SheetPageSize();
    const int width = static_cast<int>(page.GetWidth() * PixelsPerPoint());
    const int height = static_cast<int>(page.GetHeight() * PixelsPerPoint());
    return wxRect(kPageGap, kPageGap + static_cast<int>(index) * (height + kPageGap), width, height);
}

wxImage CPrintPreviewZoomView::PagePicture(size_t index, double pixelsPerPoint) const
{
    return m_art.RenderPage(index, pixelsPerPoint);
}

void CPrintPreviewZoomView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxGREY_BRUSH);
    dc.Clear();
    DoPrepareDC(dc);
    // Only what shows is drawn, so a large zoom costs no more than the window's pixels.
    const wxRect visible(CalcUnscrolledPosition(wxPoint(0, 0)), GetClientSize());
    for (size_t i = 0; i < m_art.GetPageCount(); ++i) {
        const wxRect page = PageRect(i);
        const wxRect shown = page.Intersect(visible);
        if (shown.IsEmpty())
            continue;
        const wxImage picture = m_art.RenderPage(
            i, PixelsPerPoint(), wxRect(shown.GetPosition() - page.GetPosition(), shown.GetSize()));
        if (picture.IsOk())
            dc.DrawBitmap(wxBitmap(picture), shown.GetPosition());
    }
}

CBarcodePrintout::CBarcodePrintout(const CSheetPageArt& art) : wxPrintout("Print"), m_art(art)
{
}

bool CBarcodePrintout::HasPage(int page)
{
    return page >= 1 && static_cast<size_t>(page) <= m_art.GetPageCount();
}

void CBarcodePrintout::GetPageInfo(int* minPage, int* maxPage, int* fromPage, int* toPage)
{
    *minPage = *fromPage = 1;
    *maxPage = *toPage = static_cast<int>(m_art.GetPageCount());
}

bool CBarcodePrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !HasPage(page))
        return false;
    m_art.PrintPage(*dc, static_cast<size_t>(page - 1));
    return true;
}

CPreviewPrintDlg::CPreviewPrintDlg(wxWindow* parent, const CBarcodeSheet& sheet, const SSheetHeader& header)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_PRINT_CAPTION", "打印预览"), wxDefaultPosition, wxSize(900, 760),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_art(new CSheetPageArt(sheet, header))
{
    OpenHelpOnF1(this);
    const wxString printer = LoadPrinterName();
    m_printData.GetPrintData().SetPrinterName(printer);
    CreateControls();
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
}

void CPreviewPrintDlg::CreateControls()
{
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    const auto addButton = [&](const char* id, const char* fallback, std::function<void()> action) {
        auto* button = new wxButton(this, wxID_ANY, GetUiText(id, fallback));
        button->Bind(wxEVT_BUTTON, [action](wxCommandEvent&) { action(); });
        buttons->Add(button, 0, wxRIGHT, 6);
        return button;
    };
    m_view = new CPrintPreviewZoomView(this, *m_art);
    SetAccessibleName(m_view, GetUiText("ID_PRINT_CAPTION", "打印预览"), EAccessibleRole::Picture);
    addButton("ID_PRINT_PRINT", "打印", [this] { Print(); })->SetDefault();
    addButton("ID_PRINT_ZOOMIN", "放大", [this] { m_view->ZoomIn(); });
    addButton("ID_PRINT_ZOOMOUT", "缩小", [this] { m_view->ZoomOut(); });
    addButton("ID_PRINT_ZOOMACT", "实际大小", [this] { m_view->ZoomActual(); });
    addButton("ID_PRINT_SELECT_PRINTER", "选择打印机", [this] { SelectPrinter(); });
    addButton("ID_PRINT_CLOSE", "关闭", [this] { EndModal(wxID_CLOSE); });
    CloseOnEscape(this, [this] { EndModal(wxID_CLOSE); });
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(buttons, 0, wxALL, 6);
    top->Add(m_view, 1, wxEXPAND);
    SetSizer(top);
}

bool CPreviewPrintDlg::SelectPrinter()
{
    wxPrintDialog dialog(this, &m_printData);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    m_printData = dialog.GetPrintDialogData();
    SavePrinterName(m_printData.GetPrintData().GetPrinterName());
    return true;
}

bool CPreviewPrintDlg::Print()
{
    const bool stored = !m_printData.GetPrintData().GetPrinterName().empty();
    wxPrinter printer(&m_printData);
    CBarcodePrintout printout(*m_art);
    if (printer.Print(this, &printout, !stored)) {
        if (!stored) {
            m_printData = printer.GetPrintDialogData();
            SavePrinterName(m_printData.GetPrintData().GetPrinterName());
        }
        return true;
    }
    if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
        ShowMessage(GetUiText("ID_PRINT_ERROR", "无法打开打印机！"), wxOK | wxICON_ERROR);
    return false;
}
