#include "ImageCapture.h"

#include "app/Log.h"
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "device/ImageReply.h"

#include <string>

namespace {

constexpr int32_t kQueryTimeoutMs = 4000;
// An imager that has just been addressed (the page opened, a setting written) is
// given this long before it is asked what it can capture.
constexpr uint32_t kDiscoveryWaitMs = 120;

// The value of the acknowledged item `name` among the items of the last exchange.
bool AckedValue(const ReplyItem* items, size_t count, const wchar_t* name, wxString& value)
{
    for (size_t i = 0; items && i < count; ++i) {
        if (items[i].status == REPLY_ACK && wxString(items[i].command) == name) {
            value = items[i].value;
            return true;
        }
    }
    return false;
}

}  // namespace

bool CImageCapture::Discover()
{
    m_ready = false;
    m_barcodeArea = false;
    m_capability = SImageCapability();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    // The queries and the longer read time-out they need are one operation.
    CLineHold hold = link.Line().Take(LineUsers::kCapture);
    WaitBeforeDiscovery(link);
    const int32_t savedTimeout = link.GetReadTimeout();
    link.SetReadTimeout(kQueryTimeoutMs);
    m_ready = ReadFullSizeAndOptions();
    ReadBarcodeAreaOption();
    size_t count = 0;
    // The depth answer is not used: pictures are always 8 bits per pixel.
    if (!CSaveCfg::GetInstance().SendCommand(L"IMGGBD", L"", count))
        VLOG(LOG_INFO, "Get IMGGBD error");
    link.SetReadTimeout(savedTimeout);
    return m_ready;
}

void CImageCapture::WaitBeforeDiscovery(CHBDataStreamMnt& link)
{
    // The wait is a read of the line, not a sleep: a code the scanner reads meanwhile
    // is kept as its output rather than taken for a reply to the queries.
    if (link.ReadDeviceOutput(kDiscoveryWaitMs))
        link.SetAsideDeviceOutput(
            std::string(reinterpret_cast<const char*>(link.GetReceived()), link.GetReceivedLength()));
}

bool CImageCapture::ReadFullSizeAndOptions()
{
    size_t count = 0;
    const ReplyItem* items = CSaveCfg::GetInstance().SendCommand(L"IMGGWH,GET^", L"", count);
    if (!items) {
        VLOG(LOG_INFO, "Get IMGGWH,GET^ error");
        return false;
    }
    wxString size;
    if (AckedValue(items, count, L"IMGGWH", size) && !ParseImageSize(size, m_fullWidth, m_fullHeight))
        VLOG(LOG_INFO, "IMGGWH=%s unreadable", U8(size));
    wxString options;
    return AckedValue(items, count, L"IMGGET", options) && ParseImageCapability(options, m_capability);
}

void CImageCapture::ReadBarcodeAreaOption()
{
    size_t count = 0;
    const ReplyItem* items = CSaveCfg::GetInstance().SendCommand(L"IMGBGT^", L"", count);
    wxString options;
    if (!items || !AckedValue(items, count, L"IMGBGT", options)) {
        VLOG(LOG_INFO, "Get IMGBGT error");
        return;
    }
    m_barcodeArea = ParseBarcodeAreaCapability(options, m_capability);
}

bool CImageCapture::Capture(const SImageChoice& choice, SImageFile& file, const std::atomic<bool>* stop) const
{
    file = SImageFile();
    const bool barcodeArea = choice.type == IMAGE_TYPE_BARCODE_AREA;
    const wxString request = BuildImageRequest(choice.type, choice.ratio, choice.format, choice.quality);
    std::vector<uint8_t> image;
    int width = 0;
    int height = 0;
    if (!CSaveCfg::GetInstance().RequestImage(barcodeArea, choice.format == IMAGE_FORMAT_JPEG, request, image, width,
                                              height, stop))
        return false;
    if (!barcodeArea) {
        const int divisor = ImageRatioDivisor(choice.ratio);
        width = m_fullWidth / divisor;
        height = m_fullHeight / divisor;
    }
    file.width = width;
    file.height = height;
    if (choice.format != IMAGE_FORMAT_RAW) {
        file.format = choice.format;
        file.bytes = std::move(image);
        return true;
    }
    file.format = IMAGE_FORMAT_BMP;
    if (!RawGreyToBmp(image.data(), image.size(), width, height, file.bytes)) {
        VLOG(LOG_INFO, "raw picture of %u bytes does not fill %dX%d; dropped", static_cast<unsigned>(image.size()),
             width, height);
        return false;
    }
    return true;
}

bool CImageCapture::ReadAimPoint(SAimPoint& aim)
{
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kExchange);
    wxString point;
    if (!CSaveCfg::QueryCommand("AMLQRY", "", point, "@"))
        return false;
    VLOG(LOG_DETAIL, "AMLQRY=%s", U8(point));
    const bool read = ParseAimPoint(point, aim);
    VLOG(LOG_DETAIL, "Read %i Aim=%i,%i", read ? 1 : 0, aim.x, aim.y);
    if (!read)
        return false;
    wxString adjustment;
    if (CSaveCfg::QueryCommand("AMLADJ", "*", adjustment, "@")) {
        VLOG(LOG_DETAIL, "AMLADJ=%s", U8(adjustment));
        const bool adjusted = ApplyAimAdjustment(adjustment, aim);
        VLOG(LOG_DETAIL, "Read %i Adj=%i,%i", adjusted ? 1 : 0, aim.x, aim.y);
    }
    return true;
}

void CImageCapture::SetFacts(const SImageCapability& capability, int fullWidth, int fullHeight)
{
    m_capability = capability;
    m_fullWidth = fullWidth;
    m_fullHeight = fullHeight;
    m_ready = true;
}
