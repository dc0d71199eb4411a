// A reply arriving in pieces through the link manager's read path over an in-process
// port, then parsed as the configuration engine does. The first byte picks the read's
// own limit (none, 1 or 2 ms); the rest is a list of pieces, each a length byte (1 to
// 64 bytes follow) and its bytes, where a length byte of 0xFF is a quiet moment in
// which the port has nothing, so that the silence and limit time-outs are met too.
// After the last piece the port reports the device gone, which ends the read at once.
#include "FuzzHarness.h"
#include "config/SaveCfg.h"
#include "device/DeviceEntry.h"
#include "device/HBDataStreamMnt.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

namespace {

struct SPieces {
    const uint8_t* data;
    size_t size;
} g_pieces;

const wchar_t kRequest[] = L"~\x01" L"0000@232BAD;\x03";

int SendPiece(void*, uint8_t* buffer, uint32_t size, int)
{
    if (g_pieces.size == 0)
        return -1;
    if (g_pieces.data[0] == 0xFF) {
        ++g_pieces.data;
        --g_pieces.size;
        return 0;
    }
    const size_t length = std::min<size_t>({g_pieces.data[0] % 64 + 1u, g_pieces.size - 1, size});
    std::memcpy(buffer, g_pieces.data + 1, length);
    g_pieces.data += 1 + length;
    g_pieces.size -= std::min(g_pieces.size, 1 + length);
    return static_cast<int>(length);
}

bool OpenFuzzPort()
{
    FuzzProgramDirectory();
    HbdsVirtualDevice device{};
    device.receive = [](void*, const uint8_t*, uint32_t) {};
    device.send = SendPiece;
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial.port = hbds_add_virtual_port("fuzz", &device);
    entry->serial.baudRate = 115200;
    entry->serial.dataBits = 8;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.SetReadTimeout(1);
    return entry->serial.port != 0 && link.OpenDevice(link.AddDevice(std::move(entry)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool open = OpenFuzzPort();
    if (!open)
        std::abort();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.Write(kRequest, std::size(kRequest) - 1);  // drops what an earlier input left over
    if (size == 0)
        return 0;
    g_pieces = {data + 1, size - 1};
    if (!link.ReadReply(data[0] % 3))
        return 0;
    size_t length = 0;
    wchar_t* text = link.GetReplyTextAnsi(length);
    std::vector<ReplyItem> items(16);
    size_t count = 0;
    CSaveCfg::ParseReply(text, length, items.data(), items.size(), count);
    link.GetReplyText(length);
    return 0;
}
