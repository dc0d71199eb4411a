#include "ImageEdit.h"

#include "device/ImageReply.h"
#include "image/DecodeArea.h"
#include "image/ImageOptions.h"

#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

void EnsureImageCodecs()
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_BMP))
        wxImage::AddHandler(new wxBMPHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
        wxImage::AddHandler(new wxJPEGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_TIFF))
        wxImage::AddHandler(new wxTIFFHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
}

bool DecodeImageFile(const std::vector<uint8_t>& bytes, wxImage& image)
{
    if (bytes.empty())
        return false;
    wxLogNull quiet;  // a broken picture is reported by the caller, not in a log window
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return image.LoadFile(stream, wxBITMAP_TYPE_ANY) && image.IsOk();
}

wxImage OrientImage(const wxImage& source, int orientation)
{
    if (!source.IsOk() || orientation < 0 || orientation > 7)
        return source.Copy();
    wxImage turned;
    switch (orientation % 4) {
    case 1:
        turned = source.Rotate90(true);
        break;
    case 2:
        turned = source.Rotate180();
        break;
    case 3:
        turned = source.Rotate90(false);
        break;
    default:
        turned = source.Copy();
        break;
    }
    return orientation >= 4 ? turned.Mirror(true) : turned;
}

wxImage ContrastImage(const wxImage& source, int position)
{
    wxImage result = source.Copy();
    if (!result.IsOk())
        return result;
    unsigned char* data = result.GetData();
    const size_t channels = static_cast<size_t>(result.GetWidth()) * static_cast<size_t>(result.GetHeight()) * 3;
    for (size_t i = 0; i < channels; ++i)
        data[i] = ContrastChannel(data[i], position);
    return result;
}

bool ViewToPicture(const wxRect& selection, const wxRect& view, const wxSize& pictureSize, wxRect& picture)
{
    if (selection.IsEmpty() || view.IsEmpty() || pictureSize.x <= 0 || pictureSize.y <= 0 ||
        !view.Contains(selection))
        return false;
    const auto mapX = [&](int x) { return (x - view.x) * pictureSize.x / view.width; };
    const auto mapY = [&](int y) { return (y - view.y) * pictureSize.y / view.height; };
    const int left = mapX(selection.x);
    const int top = mapY(selection.y);
    const int right = mapX(selection.x + selection.width);
    const int bottom = mapY(selection.y + selection.height);
    if (right <= left || bottom <= top)
        return false;
    picture = wxRect(left, top, right - left, bottom - top);
    return true;
}

wxRect PictureToView(const wxRect& picture, const wxRect& view, const wxSize& pictureSize)
{
    if (pictureSize.x <= 0 || pictureSize.y <= 0)
        return wxRect();
    const auto mapX = [&](int x) { return view.x + x * view.width / pictureSize.x; };
    const auto mapY = [&](int y) { return view.y + y * view.height / pictureSize.y; };
    const int left = mapX(picture.x);
    const int top = mapY(picture.y);
    return wxRect(left, top, mapX(picture.x + picture.width) - left, mapY(picture.y + picture.height) - top);
}

wxString MimeTypeForPath(const wxString& path)
{
    const wxString extension = wxFileName(path).GetExt().Lower();
    if (extension == "bmp")
        return "image/bmp";
    if (extension == "jpg" || extension == "jpeg")
        return "image/jpeg";
    if (extension == "tif" || extension == "tiff")
        return "image/tiff";
    if (extension == "png")
        return "image/png";
    return wxString();
}

bool SaveImageByExtension(const wxImage& image, const wxString& path)
{
    const wxString mime = MimeTypeForPath(path);
    if (mime.empty() || !image.IsOk())
        return false;
    EnsureImageCodecs();
    wxLogNull quiet;
    return image.SaveFile(path, mime);
}

wxString ExtensionForFormat(int format)
{
    switch (format) {
    case IMAGE_FORMAT_JPEG:
        return ".jpg";
    case IMAGE_FORMAT_TIFF:
        return ".tiff";
    default:
        return ".bmp";
    }
}

namespace {

// The image size field of an 8-bit BMP holds the bytes after its header and palette.
bool RewriteBmpImageSize(const wxString& path)
{
    wxFile file(path, wxFile::read_write);
    const wxFileOffset length = file.IsOpened() ? file.Length() : -1;
    if (length < static_cast<wxFileOffset>(kGreyBmpHeaderSize))
        return false;
    const uint32_t size = static_cast<uint32_t>(length - static_cast<wxFileOffset>(kGreyBmpHeaderSize));
    const unsigned char field[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                    static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
    return file.Seek(34) == 34 && file.Write(field, sizeof field) == sizeof field;
}

}  // namespace

wxString SaveCapturedImage(const wxImage& image, const wxString& folder, const wxString& name, int format)
{
    wxLogNull quiet;  // a failure is told to the user once, by the caller
    if (!image.IsOk() || (!wxFileName::DirExists(folder) && !wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL)))
        return wxString();
    const wxString extension = ExtensionForFormat(format);
    const wxString path = wxFileName(folder, name + extension).GetFullPath();
    EnsureImageCodecs();
    wxImage copy = image.Copy();
    wxBitmapType type = wxBITMAP_TYPE_BMP;
    if (extension == ".jpg") {
        type = wxBITMAP_TYPE_JPEG;
        copy.SetOption(wxIMAGE_OPTION_QUALITY, 100);
    } else if (extension == ".tiff") {
        type = wxBITMAP_TYPE_TIFF;
    } else {
        copy.SetOption(wxIMAGE_OPTION_BMP_FORMAT, wxBMP_8BPP_GREY);
    }
    if (!copy.SaveFile(path, type))
        return wxString();
    if (type == wxBITMAP_TYPE_BMP && !RewriteBmpImageSize(path))
        return wxString();
    return path;
}
