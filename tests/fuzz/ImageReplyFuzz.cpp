// An image reply as bytes: the first byte chooses the request's layout (size in the
// reply, quality sent). A reply that passes the checks must place its picture inside
// the bytes; a raw picture of the announced size then becomes a BMP of its length.
#include "FuzzHarness.h"
#include "device/HBDataStreamMnt.h"
#include "device/ImageReply.h"
#include "image/ImageOptions.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool sizeInReply = (data[0] & 1) != 0;
    const bool quality = (data[0] & 2) != 0;
    const uint8_t* reply = data + 1;
    const size_t length = size - 1;
    CHBDataStreamMnt::ExpectedImageLength(reply, length, sizeInReply, quality);
    SImageReplyLayout layout;
    if (CheckImageReply(reply, length, sizeInReply, quality, layout) == nullptr) {
        if (layout.offset > length || layout.length > length - layout.offset)
            std::abort();
        const int width = layout.width > 0 && layout.width < 4096 ? layout.width : 16;
        const int height = static_cast<int>(layout.length) / width;
        std::vector<uint8_t> bmp;
        if (RawGreyToBmp(reply + layout.offset, layout.length, width, height, bmp) &&
            bmp.size() < kGreyBmpHeaderSize + layout.length)
            std::abort();
    }
    // The same bytes as a capability value.
    SImageCapability capability;
    const std::string text(reinterpret_cast<const char*>(reply), length);
    ParseImageCapability(wxString::FromUTF8(text.c_str()), capability);
    return 0;
}
