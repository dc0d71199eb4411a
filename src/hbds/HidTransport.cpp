#include "HidTransport.h"
#include "TextCodec.h"

#include <hidapi/hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <deque>
#include <mutex>
#include <string>

// Report framing on the HID point-of-sale interface. Scanners of this family use
// fixed 64-byte reports both ways:
//
//   output report (host to scanner): byte 0 report id 0x04, byte 1 payload length
//                                    (1 to 62), bytes 2.. payload, rest zero
//   input report  (scanner to host): byte 0 report id 0x02, byte 1 payload length
//                                    (0 to 62), bytes 2.. payload
//
// A request longer than 62 bytes goes out as several reports; input payloads are
// queued and handed to reads in arrival order, so the text protocol above sees one
// byte stream exactly as on a serial port.

namespace hbds {
namespace {

constexpr unsigned short kPosUsagePage = 0x8C;
constexpr size_t kReportSize = 64;
constexpr size_t kPayloadPerReport = kReportSize - 2;
constexpr unsigned char kOutputReportId = 0x04;
constexpr unsigned char kInputReportId = 0x02;

void InitHidApiOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { hid_init(); });
}

void CopyNarrow(char* out, size_t room, const char* text)
{
    std::snprintf(out, room, "%s", text ? text : "");
}

// hidapi hands back wide strings; the records keep UTF-8.
void CopyWide(char* out, size_t room, const wchar_t* text)
{
    CopyNarrow(out, room, WideToUtf8(text).c_str());
}

class CHidTransport final : public CTransport {
public:
    explicit CHidTransport(hid_device* device) : m_device(device) {}
    ~CHidTransport() override { hid_close(m_device); }

    uint32_t Write(const uint8_t* data, uint32_t count, uint32_t& status) override
    {
        uint32_t sent = 0;
        while (sent < count) {
            unsigned char report[kReportSize] = {};
            const size_t chunk = std::min<size_t>(kPayloadPerReport, count - sent);
            report[0] = kOutputReportId;
            report[1] = static_cast<unsigned char>(chunk);
            std::memcpy(report + 2, data + sent, chunk);
            if (hid_write(m_device, report, sizeof report) < 0) {
                status = HBDS_ERR_NOT_EXIST;
                break;
            }
            sent += static_cast<uint32_t>(chunk);
        }
        return sent;
    }

    int ReadSome(uint8_t* buffer, uint32_t size, int timeoutMs, uint32_t& status) override
    {
        if (m_pending.empty()) {
            unsigned char report[kReportSize] = {};
            const int got = hid_read_timeout(m_device, report, sizeof report, timeoutMs);
            if (got < 0) {
                status = HBDS_ERR_NOT_EXIST;
                return -1;
            }
            if (got >= 2 && report[0] == kInputReportId) {
                const size_t length = std::min<size_t>(report[1], static_cast<size_t>(got) - 2);
                m_pending.insert(m_pending.end(), report + 2, report + 2 + length);
            }
        }
        const size_t take = std::min<size_t>(size, m_pending.size());
        std::copy(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(take), buffer);
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(take));
        return static_cast<int>(take);
    }

    void DropInput() override
    {
        m_pending.clear();
        unsigned char report[kReportSize];
        while (hid_read_timeout(m_device, report, sizeof report, 0) > 0) {
        }
    }

    int QuietGapMs() const override { return 30; }

private:
    hid_device* m_device;
    std::deque<uint8_t> m_pending;
};

}  // namespace

int EnumerateHidPosDevices(UsbDeviceInfo* devices, uint32_t room)
{
    InitHidApiOnce();
    hid_device_info* list = hid_enumerate(0, 0);
    uint32_t count = 0;
    for (hid_device_info* d = list; d && count < room; d = d->next) {
        if (d->usage_page != kPosUsagePage)
            continue;
        UsbDeviceInfo& record = devices[count++];
        std::memset(&record, 0, sizeof record);
        record.vendorId = d->vendor_id;
        record.productId = d->product_id;
        record.usagePage = d->usage_page;
        record.interfaceNumber = static_cast<uint16_t>(std::max(d->interface_number, 0));
        CopyNarrow(record.path, sizeof record.path, d->path);
        CopyWide(record.serialNumber, sizeof record.serialNumber, d->serial_number);
        CopyWide(record.product, sizeof record.product, d->product_string);
        CopyWide(record.manufacturer, sizeof record.manufacturer, d->manufacturer_string);
        record.interfaceKind = d->interface_number > 0 ? HBDS_USB_HID_POS_COMPOSITE : HBDS_USB_HID_POS;
    }
    hid_free_enumeration(list);
    return static_cast<int>(count);
}

std::unique_ptr<CTransport> OpenHidTransport(const UsbDeviceInfo& device, uint32_t& status)
{
    InitHidApiOnce();
    char path[sizeof device.path + 1] = {};
    std::memcpy(path, device.path, sizeof device.path);
    hid_device* handle = hid_open_path(path);
    if (!handle) {
        // hidapi does not say why: a node that exists but cannot be opened is a
        // permission problem or another owner.
        if (path[0] == '\0')
            status = HBDS_ERR_INVALID_PARAMS;
        else
            status = access(path, F_OK) == 0 ? HBDS_ERR_ACCESS_DENIED : HBDS_ERR_NOT_EXIST;
        return nullptr;
    }
    return std::make_unique<CHidTransport>(handle);
}

}  // namespace hbds
