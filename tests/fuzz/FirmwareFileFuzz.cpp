// A firmware file as bytes: the reader of the format, once as it is and once sealed
// (the CRCs made right), so that the part table's bounds are reached past the checks;
// then the same bytes as a stream of download packets.
#include "hbds/hbds_firmware.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HbdsKernelInfo info;
    if (hbds_fw_check_image(data, size, &info) && info.fileLength != size)
        std::abort();
    std::vector<uint8_t> sealed(data, data + size);
    hbds_fw_seal_image(sealed.data(), sealed.size());
    if (hbds_fw_check_image(sealed.data(), sealed.size(), &info)) {
        for (uint32_t i = 0; i < info.partCount; ++i) {
            if (info.parts[i].offset + uint64_t(info.parts[i].length) > size)
                std::abort();
        }
    }
    for (size_t at = 0; at < size;) {
        char type = 0;
        uint16_t sequence = 0, length = 0;
        const uint8_t* payload = nullptr;
        const long used = hbds_fw_decode(data + at, size - at, 'F', &type, &sequence, &payload, &length);
        if (used == 0)
            break;
        if (used > 0 && payload && payload + length > data + size)
            std::abort();
        at += used > 0 ? static_cast<size_t>(used) : 1;
    }
    return 0;
}
