// The sheet laid out as pages of placed lines and pictures, in PDF points on an A4
// page. The print preview and the printout draw these pages, so the paper, the
// preview and the PDF file all show the same layout.
#pragma once

#include "PdfWriter.h"

#include <vector>

struct SPlacedItem {
    bool isText = false;
    wxString text;
    int imageIndex = -1;  // into CSheetPages::GetImages()
    double left = 0;
    double top = 0;       // from the bottom of the page, as PDF measures
    double width = 0;
    double height = 0;
};

class CSheetPages : public IPdfTarget {
public:
    static constexpr int kA4Width = 595;
    static constexpr int kA4Height = 842;

    CSheetPages() : m_pages(1) {}

    void SetTextSize(double size) override { m_textSize = size; }
    double GetTextSize() const { return m_textSize; }
    int PageWidth() const override { return kA4Width; }
    int PageHeight() const override { return kA4Height; }
    bool AddImage(const SMonoImage& image) override;
    void DrawImage(double left, double top, double width, double height) override;
    void DrawText(double left, double top, const wxString& text) override;
    // An estimate from the text size: the printout measures the real width itself.
    double TextWidth(const wxString& text) const override;
    void NewPage() override { m_pages.emplace_back(); }

    const std::vector<std::vector<SPlacedItem>>& GetPages() const { return m_pages; }
    const std::vector<SMonoImage>& GetImages() const { return m_images; }

private:
    std::vector<std::vector<SPlacedItem>> m_pages;
    std::vector<SMonoImage> m_images;
    double m_textSize = 10;
};
