#include "Thumbnail.h"

#include "device/PictureFile.h"

#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <algorithm>

namespace {

bool DecodePicture(const CPictureFile* picture, wxImage& image)
{
    if (!picture || picture->GetBytes().empty())
        return false;
    wxMemoryInputStream stream(picture->GetBytes().data(), picture->GetBytes().size());
    wxLogNull quiet;  // a broken file is shown as the empty frame, not as a log window
    return image.LoadFile(stream, wxBITMAP_TYPE_ANY) && image.IsOk() && image.GetWidth() > 0 &&
           image.GetHeight() > 0;
}

}  // namespace

wxBitmap MakeThumbnail(const CPictureFile* picture, int size)
{
    wxBitmap thumbnail(size, size);
    wxMemoryDC dc(thumbnail);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();

    wxImage image;
    if (DecodePicture(picture, image)) {
        const double scale = std::min(static_cast<double>(size) / image.GetWidth(),
                                      static_cast<double>(size) / image.GetHeight());
        const int width = std::max(1, static_cast<int>(image.GetWidth() * scale));
        const int height = std::max(1, static_cast<int>(image.GetHeight() * scale));
        image.Rescale(width, height, wxIMAGE_QUALITY_HIGH);
        dc.DrawBitmap(wxBitmap(image), (size - width) / 2, (size - height) / 2, true);
    } else {
        dc.SetPen(*wxLIGHT_GREY_PEN);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(4, 4, size - 8, size - 8);
    }
    dc.SelectObject(wxNullBitmap);
    return thumbnail;
}
