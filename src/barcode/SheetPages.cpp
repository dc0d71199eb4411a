#include "SheetPages.h"

bool CSheetPages::AddImage(const SMonoImage& image)
{
    m_images.push_back(image);
    return true;
}

void CSheetPages::DrawImage(double left, double top, double width, double height)
{
    if (m_images.empty())
        return;
    SPlacedItem item;
    item.imageIndex = static_cast<int>(m_images.size()) - 1;
    item.left = left;
    item.top = top;
    item.width = width;
    item.height = height;
    m_pages.back().push_back(item);
}

void CSheetPages::DrawText(double left, double top, const wxString& text)
{
    SPlacedItem item;
    item.isText = true;
    item.text = text;
    item.left = left;
    item.top = top;
    item.width = TextWidth(text);
    item.height = 26;
    m_pages.back().push_back(item);
}

double CSheetPages::TextWidth(const wxString& text) const
{
    // Half the size per character is close for the Latin letters and digits of settings.
    return static_cast<double>(text.length()) * m_textSize * 0.5;
}
