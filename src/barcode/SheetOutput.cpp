#include "SheetOutput.h"

#include "DocxWriter.h"
#include "PdfWriter.h"

#include <algorithm>

namespace {

const double kLineStep = 26;
const double kHeaderLeft = 60;
const double kFirstBarcodeOffset = 156;
const double kBottomMargin = 55;

// Where the next line or picture goes, moving down the pages of `target`.
class CPdfCursor {
public:
    explicit CPdfCursor(IPdfTarget& target) : m_target(target), m_y(target.PageHeight() - kLineStep) {}

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
    void CentredLine(const wxString& text)
    {
        const double width = std::min<double>(m_target.TextWidth(text), m_target.PageWidth());
        m_target.DrawText((m_target.PageWidth() - width) / 2, m_y, text);
        Down(kLineStep);
    }

private:
    IPdfTarget& m_target;
    double m_y;
};

bool DrawOutputItem(const SOutputItem& item, int interval, IPdfTarget& target, CPdfCursor& cursor)
{
    const bool hasCaption = !item.caption.empty();
    if (hasCaption && item.captionAbove)
        cursor.CentredLine(item.caption);
    const double width = std::min(item.width, target.PageWidth());
    const double height = std::min(item.height, target.PageHeight());
    if (cursor.Y() - interval - height < 0)
        cursor.NewPage();
    SMonoImage pixels;
    if (!DecodeBmp(item.image->bmp.data(), item.image->bmp.size(), pixels) || !target.AddImage(pixels))
        return false;
    target.DrawImage((target.PageWidth() - width) / 2, cursor.Y(), width, height);
    // A caption below stays with its own barcode; the interval then parts it from the next.
    if (hasCaption && !item.captionAbove) {
        cursor.MoveTo(cursor.Y() - height);
        cursor.CentredLine(item.caption);
        cursor.Down(interval);
    } else {
        cursor.Down(interval + height);
    }
    return true;
}

}  // namespace

std::vector<wxString> HeaderLines(const SSheetHeader& header, const wxDateTime& when)
{
    return {
        wxString::Format("Title: %s", header.title),
        wxString::Format("Date Built: %04d-%2d-%02d %02d:%02d:%02d", when.GetYear(), when.GetMonth() + 1,
                         when.GetDay(), when.GetHour(), when.GetMinute(), when.GetSecond()),
        wxString::Format("Product: %s", header.product),
        wxString::Format("Comments: %s", header.comments),
    };
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

bool LayOutSheetOnPdf(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, IPdfTarget& target)
{
    target.SetTextSize(10);
    CPdfCursor cursor(target);
    for (const wxString& line : headerLines) {
        target.DrawText(kHeaderLeft, cursor.Y(), line);
        cursor.MoveTo(cursor.Y() - kLineStep);
    }
    cursor.MoveTo(target.PageHeight() - kFirstBarcodeOffset);
    for (const SOutputItem& item : OutputItems(sheet)) {
        if (!DrawOutputItem(item, sheet.interval, target, cursor))
            return false;
    }
    return true;
}

bool SaveSheetAsPdf(const CBarcodeSheet& sheet, const std::vector<wxString>& headerLines, const wxString& path,
                    wxString& error)
{
    CPdfWriter writer;
    if (!writer.IsOk()) {
        error = "the PDF writer could not start";
        return false;
    }
    if (!LayOutSheetOnPdf(sheet, headerLines, writer)) {
        error = "a barcode picture could not be placed";
        return false;
    }
    if (!writer.SaveToFile(path)) {
        error = "the file could not be written";
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
        writer.AddPicture(item.image->bmp, item.width, item.height);
        if (!item.caption.empty() && !item.captionAbove)
            writer.AddParagraph(item.caption);
    }
    if (!writer.SaveToFile(path)) {
        error = "the file could not be written";
        return false;
    }
    return true;
}
