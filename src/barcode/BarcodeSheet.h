// The content and layout of one barcode sheet: the images in order with their
// captions, and the sizes the view, the printout and the PDF and Word files share.
#pragma once

#include "BmpImage.h"
#include "SymbolVector.h"

#include <wx/string.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// One rendered barcode: its BMP file and its size in pixels, and its shapes, which
// the page outputs draw instead of the pixels (null for the fixed frame pictures).
struct SSheetImage {
    std::vector<uint8_t> bmp;
    int width = 0;
    int height = 0;
    wxString payload;
    std::shared_ptr<const CSymbolVector> vector;
};

class CBarcodeSheet {
public:
    enum { FRAME_ENTER, FRAME_HEAD, FRAME_EXIT, FRAME_COUNT };

    void Clear();
    void AddImage(SSheetImage image);
    void AddCaption(const wxString& caption);

    const std::vector<SSheetImage>& GetImages() const { return m_images; }
    const std::vector<wxString>& GetCaptions() const { return m_captions; }
    // The caption of image `index`, or empty when it has none.
    wxString CaptionOf(size_t index) const;

    int DrawnWidth() const { return thumbWidth * hScale; }
    int DrawnHeight() const { return thumbHeight * vScale; }
    // The height the whole sheet needs, which the view scrolls through.
    int ScrollRange() const;

    // Loads the setup command's enter and exit frame pictures from the Images folder
    // and draws the head; false when one is missing (the sheet is then not framed).
    bool LoadFrameImages(const wxString& setupCommand);
    const SSheetImage& GetFrameImage(int which) const { return m_frames[which]; }

    int interval = 16;
    int hScale = 1;
    int vScale = 1;
    int thumbWidth = 100;
    int thumbHeight = 32;
    bool showCaption = false;
    bool captionAbove = false;
    int lineHeight = 20;
    bool framed = false;

private:
    std::vector<SSheetImage> m_images;
    std::vector<wxString> m_captions;
    std::array<SSheetImage, FRAME_COUNT> m_frames;
};

// Names of the enter and exit frame pictures in Images/ for a setup command ("SETUPE"
// has its own pair); the head is drawn, not read.
wxString FrameImageName(const wxString& setupCommand, int which);
// An image made from a BMP file in memory; false when it is not a readable BMP.
bool MakeSheetImage(std::vector<uint8_t> bmp, SSheetImage& image);
