#include "BarcodeSheet.h"

#include "BarcodePayload.h"
#include "BarcodeRender.h"
#include "app/AppContext.h"

void CBarcodeSheet::Clear()
{
    m_images.clear();
    m_captions.clear();
}

void CBarcodeSheet::AddImage(SSheetImage image)
{
    m_images.push_back(std::move(image));
}

void CBarcodeSheet::AddCaption(const wxString& caption)
{
    m_captions.push_back(caption);
}

wxString CBarcodeSheet::CaptionOf(size_t index) const
{
    return index < m_captions.size() ? m_captions[index] : wxString();
}

int CBarcodeSheet::ScrollRange() const
{
    const int count = static_cast<int>(m_images.size());
    int range = (DrawnHeight() + interval) * count;
    if (showCaption)
        range += lineHeight * count;
    if (framed) {
        range += 3 * interval;
        for (const SSheetImage& frame : m_frames)
            range += frame.height;
    }
    return range;
}

wxString FrameImageName(const wxString& setupCommand, int which)
{
    const wxString pair = setupCommand == "SETUPE" ? "setupe" : "setupn";
    switch (which) {
    case CBarcodeSheet::FRAME_ENTER: return "barcode_enter_" + pair + ".bmp";
    case CBarcodeSheet::FRAME_EXIT: return "barcode_exit_" + pair + ".bmp";
    default: return wxString();
    }
}

bool CBarcodeSheet::LoadFrameImages(const wxString& setupCommand)
{
    // The head is the enter-setup code of the sheet's own setup command, drawn here
    // so that it is a barcode for every model.
    if (!DrawFrameBarcode(EnterSetupItem(setupCommand).payload, m_frames[FRAME_HEAD])) {
        m_frames = {};
        return false;
    }
    for (int which : {FRAME_ENTER, FRAME_EXIT}) {
        const wxString path = CAppContext::GetInstance().GetFilePath("Images", FrameImageName(setupCommand, which));
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(std::string(path.fn_str()), bytes) || !MakeSheetImage(std::move(bytes), m_frames[which])) {
            m_frames = {};
            return false;
        }
    }
    return true;
}

bool MakeSheetImage(std::vector<uint8_t> bmp, SSheetImage& image)
{
    int width = 0;
    int height = 0;
    if (!ReadBmpSize(bmp.data(), bmp.size(), width, height) || width <= 0 || height == 0)
        return false;
    image.width = width;
    image.height = height < 0 ? -height : height;
    image.bmp = std::move(bmp);
    return true;
}
