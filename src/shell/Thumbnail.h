// Model pictures as the square thumbnails the device pages list.
#pragma once

#include <wx/bitmap.h>

class CPictureFile;

// The side of the square both device pages list their models with.
constexpr int kThumbnailSize = 96;

// `picture` scaled to fit a `size` × `size` square, centred on white; a missing or
// undecodable picture gives a plain framed square, so that every list entry has one.
wxBitmap MakeThumbnail(const CPictureFile* picture, int size);
