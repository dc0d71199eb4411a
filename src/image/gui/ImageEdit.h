// What the image windows do to pictures: decoding what the scanner sent, the eight
// orientations, contrast, cutting by a rectangle drawn on the view, and saving with
// the encoder a file name or format asks for.
#pragma once

#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/string.h>

#include <cstdint>
#include <vector>

// Makes sure BMP, JPEG, TIFF and PNG can be read and written; call on the UI thread
// before the first picture.
void EnsureImageCodecs();

// A complete BMP, JPEG or TIFF file in memory as a picture; false when undecodable.
bool DecodeImageFile(const std::vector<uint8_t>& bytes, wxImage& image);

// `source` turned by orientation 0–7: none, 90°, 180°, 270° clockwise, then the same
// four followed by a horizontal mirror. Anything else gives an unchanged copy.
wxImage OrientImage(const wxImage& source, int orientation);

// Every red, green and blue value of `source` under the contrast slider `position`.
wxImage ContrastImage(const wxImage& source, int position);

// The part of the picture under `selection`, a rectangle on the view where the
// picture of `pictureSize` is drawn in `view`. False for an empty selection or one
// that does not lie within the drawn picture.
bool ViewToPicture(const wxRect& selection, const wxRect& view, const wxSize& pictureSize, wxRect& picture);
// The view rectangle over `picture` (the inverse of ViewToPicture).
wxRect PictureToView(const wxRect& picture, const wxRect& view, const wxSize& pictureSize);

// The encoder's MIME type for a file name's extension (case ignored); empty for an
// extension without one.
wxString MimeTypeForPath(const wxString& path);
// Saves `image` with the encoder its extension names. False when there is none or
// writing fails.
bool SaveImageByExtension(const wxImage& image, const wxString& path);

// The extension a captured picture of request format `format` is saved with.
wxString ExtensionForFormat(int format);
// Saves a captured picture as `folder`/`name` plus the format's extension, the
// folder made when missing. A BMP is written with a grey palette and its image size
// field set to the file length − 1078. The path written, empty on failure.
wxString SaveCapturedImage(const wxImage& image, const wxString& folder, const wxString& name, int format);
