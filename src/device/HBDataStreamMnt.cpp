#include "HBDataStreamMnt.h"

#include "DeviceInfo.h"
#include "Log.h"
#include "NarrowText.h"
#include "UiText.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

std::unique_ptr<CHBDataStreamMnt> CHBDataStreamMnt::s_instance;

namespace {

const size_t kInitialReceiveCapacity = 102400;
const size_t kInitialTextCapacity = 204801;
// Largest piece one library read may bring; the buffer always keeps this much free.
const uint32_t kReadChunk = 10240;
const uint32_t kEnumRoom = 256;
const uint8_t kTerminator[] = {';', 0x03};
const int kDetectionTimeoutMs = 100;
// Time a scanner needs after the identity query before it takes the next one.
const int kIdentityPauseMs = 1000;
// How often a picture being read looks at its stop request.
const int32_t kStopCheckMs = 100;
// The line counts as quiet after this long without a byte.
const int kDrainQuietMs = 150;
const uint32_t kDrainLimitMs = 30000;

struct SStatusText {
    uint32_t code;
    const char* identifier;
    const char* fallback;
};

const SStatusText kStatusTexts[] = {
    {1, "ID_DEVICE_ERROR_UNKOWN", "未知错误!"},
    {2, "ID_DEVICE_ERROR_NOTEXIST", "不存在!"},
    {3, "ID_DEVICE_ERROR_NOT_OPEN", "未打开!"},
    {4, "ID_DEVICE_ERROR_ALREADY_OPEN", "已经打开!"},
    {5, "ID_DEVICE_ERROR_ACCESS_DENIED", "无法访问设备文件(可能被其它程序占用)!"},
    {6, "ID_DEVICE_ERROR_NOT_INITIAL", "未初始化!"},
    {7, "ID_DEVICE_ERROR_NOT_CHANGE_MI", "复合设备，无法将当前接口切换到HID-POS模式!"},
    {8, "ID_DEVICE_ERROR_INVALID_PARAMS", "无效参数!"},
    {9, "ID_DEVICE_ERROR_INVALID_FILE_FORMAT", "无效文件格式参数!"},
    {10, "ID_DEVICE_ERROR_FILENAME_EXT", "错误文件拓展名!"},
    {11, "ID_DEVICE_ERROR_COMMUNICATION", "通讯失败!"},
    {12, "ID_DEVICE_ERROR_MALLOC", "分配内存失败!"},
    {13, "ID_DEVICE_ERROR_UPDATE_FAILED", "更新出错!"},
    {14, "ID_DEVICE_ERROR_NO_UPDATE_OBJECT", "无更新目标!"},
    {17, "ID_DEVICE_ERROR_RESUFE", "拒绝更新!"},
    {18, "ID_DEVICE_ERROR_CHOOSE", "中止更新!"},
};

using Clock = std::chrono::steady_clock;

uint32_t MillisecondsSince(Clock::time_point start)
{
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

int HexDigit(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

CHBDataStreamMnt& CHBDataStreamMnt::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CHBDataStreamMnt());
    return *s_instance;
}

void CHBDataStreamMnt::ResetInstance()
{
    s_instance.reset();
}

CHBDataStreamMnt::CHBDataStreamMnt() : m_receive(kInitialReceiveCapacity, 0), m_text(kInitialTextCapacity, 0) {}

CHBDataStreamMnt::~CHBDataStreamMnt()
{
    CloseDevice(0);
    DeleteDevices();
}

void CHBDataStreamMnt::DeleteDevices()
{
    m_current = nullptr;
    m_devices.clear();
}

DeviceEntry* CHBDataStreamMnt::AddDevice(std::unique_ptr<DeviceEntry> entry)
{
    m_devices.push_back(std::move(entry));
    return m_devices.back().get();
}

int CHBDataStreamMnt::EnumDevices(const DeviceQuery& query)
{
    DeleteDevices();
    m_cancel = 0;
    AddUsbDevices();
    AddSerialDevices();
    IdentifyDevices(query);
    return static_cast<int>(m_devices.size());
}

int CHBDataStreamMnt::EnumSerialPort(const std::string& path, uint32_t baudRate, const DeviceQuery& query)
{
    DeleteDevices();
    m_cancel = 0;
    if (!AddSerialPort(path, baudRate))
        return 0;
    IdentifyDevices(query);
    return static_cast<int>(m_devices.size());
}

DeviceEntry* CHBDataStreamMnt::AddSerialPort(const std::string& path, uint32_t baudRate)
{
    m_portStatus = HBDS_OK;
    SerialSettings port;
    std::memset(&port, 0, sizeof port);
    port.port = hbds_add_serial_path(path.c_str());
    if (port.port == 0)
        return nullptr;
    // A port that cannot be opened at all would only fail every probe below; the
    // user is better served by the reason (missing, no terminal, busy).
    port.baudRate = baudRate != 0 ? baudRate : 9600;
    port.dataBits = 8;
    m_portStatus = TryOpen(port);
    if (m_portStatus != HBDS_OK)
        return nullptr;
    if (baudRate == 0 && (hbds_detect_serial_settings(&port, 1, kDetectionTimeoutMs) < 1 || port.baudRate == 0))
        return nullptr;
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial = port;
    return AddDevice(std::move(entry));
}

uint32_t CHBDataStreamMnt::TryOpen(const SerialSettings& port)
{
    const HBDS_HANDLE handle = hbds_create();
    if (handle == 0)
        return HBDS_ERR_MALLOC;
    uint32_t status = HBDS_OK;
    if (hbds_open_com(handle, &port, &status))
        status = HBDS_OK;
    else if (status == HBDS_OK)
        status = HBDS_ERR_UNKNOWN;
    hbds_destory(handle);
    return status;
}

void CHBDataStreamMnt::AddUsbDevices()
{
    std::vector<UsbDeviceInfo> room(kEnumRoom);
    std::memset(room.data(), 0, room.size() * sizeof(UsbDeviceInfo));
    const int count = hbds_enum_usb_device(room.data(), kEnumRoom);
    VLOG(LOG_INFO, "hid devices=%i", count);
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<DeviceEntry>();
        entry->kind = DEVICE_KIND_USB;
        entry->usb = room[static_cast<size_t>(i)];
        AddDevice(std::move(entry));
    }
}

void CHBDataStreamMnt::AddSerialDevices()
{
    const int32_t savedTimeout = m_readTimeout;
    m_readTimeout = kDetectionTimeoutMs;
    std::vector<SerialSettings> room(kEnumRoom);
    std::memset(room.data(), 0, room.size() * sizeof(SerialSettings));
    const int listed = hbds_enum_serial_ports(room.data(), kEnumRoom);
    VLOG(LOG_INFO, "com devices=%i", listed);
    if (listed > 0) {
        const int detected = hbds_detect_serial_settings(room.data(), static_cast<uint32_t>(listed), kDetectionTimeoutMs);
        VLOG(LOG_INFO, "nDetectCnt=%i", detected);
        for (int i = 0; i < std::min(detected, listed); ++i) {
            // A port at which nothing answered holds no scanner.
            if (room[static_cast<size_t>(i)].baudRate == 0)
                continue;
            auto entry = std::make_unique<DeviceEntry>();
            entry->kind = DEVICE_KIND_SERIAL;
            entry->serial = room[static_cast<size_t>(i)];
            AddDevice(std::move(entry));
        }
    }
    m_readTimeout = savedTimeout;
}

wxString CHBDataStreamMnt::CleanIdentityValue(const wxString& value)
{
    wxString cleaned = value;
    const int colon = cleaned.Find(':');
    if (colon != wxNOT_FOUND) {
        cleaned = cleaned.Mid(static_cast<size_t>(colon) + 1);
        if (cleaned.StartsWith(" "))
            cleaned.Remove(0, 1);
    }
    cleaned.Replace("\r\n", "");
    return cleaned;
}

void CHBDataStreamMnt::IdentifyDevices(const DeviceQuery& query)
{
    for (const auto& entry : m_devices)
        IdentifyDevice(*entry, query);
    // Detection only saw reply marks; a port that then names no product may hold a
    // scanner at another rate or something else entirely, and showing it as a scanner
    // would lead the user to configure nothing.
    auto unnamed = [](const std::unique_ptr<DeviceEntry>& entry) {
        if (!entry->productName.empty())
            return false;
        VLOG(LOG_INFO, "device of kind %i named no product and is left out", static_cast<int>(entry->kind));
        return true;
    };
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(), unnamed), m_devices.end());
}

void CHBDataStreamMnt::IdentifyDevice(DeviceEntry& entry, const DeviceQuery& query)
{
    if (!query || !OpenDevice(&entry))
        return;
    std::vector<SReplyValue> items;
    if (query(L"@QRYSYS,PDN,PSN", items)) {
        for (const SReplyValue& item : items) {
            if (item.name == "QRYSYS")
                entry.systemInfo = item.value;
            else if (item.name == "QRYPDN")
                entry.productName = CleanIdentityValue(item.value);
            else if (item.name == "QRYPSN")
                entry.serialNumber = CleanIdentityValue(item.value);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdentityPauseMs));
    std::vector<SReplyValue> extra;
    const bool answered = query(L"BASQSY", extra);
    CloseDevice(0);
    if (answered && !extra.empty() && extra[0].name == "BASQSY") {
        const wxString& value = extra[0].value;
        entry.systemInfo = entry.systemInfo.empty() ? value : entry.systemInfo + "\r\n" + value;
    }
}

void CHBDataStreamMnt::RemoveUnmatched()
{
    auto unmatched = [this](const std::unique_ptr<DeviceEntry>& entry) {
        if (entry->model)
            return false;
        if (entry.get() == m_current)
            m_current = nullptr;
        return true;
    };
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(), unmatched), m_devices.end());
}

bool CHBDataStreamMnt::OpenDevice(DeviceEntry* entry)
{
    if (!entry)
        return false;
    if (entry->handle != 0) {
        hbds_destory(entry->handle);
        entry->handle = 0;
    }
    entry->handle = hbds_create();
    if (entry->handle == 0)
        return false;
    entry->status = 0;
    int opened = 0;
    if (entry->kind == DEVICE_KIND_USB)
        opened = hbds_open_usb(entry->handle, &entry->usb, 3, &entry->status);
    else if (entry->kind == DEVICE_KIND_SERIAL)
        opened = hbds_open_com(entry->handle, &entry->serial, &entry->status);
    if (!opened) {
        hbds_destory(entry->handle);
        entry->handle = 0;
        return false;
    }
    m_current = entry;
    m_cancel = 0;
    m_drainPending = false;  // a new connection has nothing of an old picture on it
    hbds_clean(entry->handle, 0);
    return true;
}

bool CHBDataStreamMnt::CloseDevice(uint32_t delayMs)
{
    if (!m_current || m_current->handle == 0)
        return true;
    m_cancel = 1;
    if (delayMs != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    hbds_close(m_current->handle);
    hbds_destory(m_current->handle);
    m_current->handle = 0;
    m_current = nullptr;
    return true;
}

bool CHBDataStreamMnt::IsOpen() const
{
    return m_current && m_current->handle != 0 && hbds_is_open(m_current->handle);
}

template <typename T>
bool CHBDataStreamMnt::SetSerialField(T SerialSettings::*field, T value)
{
    if (!IsOpen())
        return false;
    m_current->serial.*field = value;
    return hbds_change_serial_settings(m_current->handle, &m_current->serial) != 0;
}

bool CHBDataStreamMnt::SetBaudRate(uint32_t value)
{
    return SetSerialField(&SerialSettings::baudRate, value);
}

bool CHBDataStreamMnt::SetDataBits(uint8_t value)
{
    return SetSerialField(&SerialSettings::dataBits, value);
}

bool CHBDataStreamMnt::SetParity(uint8_t value)
{
    return SetSerialField(&SerialSettings::parity, value);
}

bool CHBDataStreamMnt::SetStopBits(uint8_t value)
{
    return SetSerialField(&SerialSettings::stopBits, value);
}

uint32_t CHBDataStreamMnt::Write(const wchar_t* text, size_t length)
{
    if (!IsOpen() || !text)
        return 0;
    const std::string bytes = ToNarrow(text, length);
    if (m_drainPending)
        DrainInput();
    hbds_clean(m_current->handle, 0);
    const int written = hbds_write(m_current->handle, reinterpret_cast<const uint8_t*>(bytes.data()),
                                   static_cast<uint32_t>(bytes.size()));
    // The library's write has no status of its own; a short write is a failed
    // exchange, and the user is told so rather than shown nothing.
    if (written < static_cast<int>(bytes.size()) && m_current->status == HBDS_OK)
        m_current->status = HBDS_ERR_COMMUNICATION;
    return written > 0 ? static_cast<uint32_t>(written) : 0;
}

void CHBDataStreamMnt::EnsureReceiveRoom()
{
    while (m_receive.size() - m_received < kReadChunk)
        m_receive.resize(m_receive.size() * 2);
}

template <typename Done>
bool CHBDataStreamMnt::ReadChunks(uint32_t limitMs, Done&& done, int32_t sliceMs, const std::atomic<bool>* stop)
{
    m_received = 0;
    if (!IsOpen())
        return false;
    // The device may be closed from another thread while this reads (that is how a
    // read is cancelled), so the handle and status are taken once, up front.
    const HBDS_HANDLE handle = m_current->handle;
    uint32_t* status = &m_current->status;
    const int32_t savedTimeout = m_readTimeout;
    const int32_t timeout = (limitMs != 0 && static_cast<int32_t>(limitMs) < m_readTimeout)
                                ? static_cast<int32_t>(limitMs)
                                : m_readTimeout;
    const int32_t readTimeout = (sliceMs > 0 && sliceMs < timeout) ? sliceMs : timeout;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastByte = start;
    std::fill(m_receive.begin(), m_receive.end(), 0);
    for (;;) {
        EnsureReceiveRoom();
        const int got = hbds_read_until(handle, m_receive.data() + m_received, kReadChunk, readTimeout, -2,
                                        kTerminator, sizeof kTerminator, status);
        if (stop && *stop) {
            m_readTimeout = savedTimeout;
            return false;
        }
        if (got <= 0) {
            // Silence for the whole read time-out ends the reply: a silent device costs
            // one time-out. A failing port ends it at once.
            const bool failed = *status != HBDS_OK || !hbds_is_open(handle);
            if (failed || readTimeout == timeout || MillisecondsSince(lastByte) >= static_cast<uint32_t>(timeout))
                break;
            continue;
        }
        lastByte = Clock::now();
        if (m_cancel) {
            m_readTimeout = savedTimeout;
            return false;
        }
        m_received += static_cast<size_t>(got);
        EnsureReceiveRoom();
        if (done())
            break;
        if (limitMs != 0 && MillisecondsSince(start) > limitMs)
            break;
        if (!hbds_is_open(handle))
            break;
    }
    m_readTimeout = savedTimeout;
    // A close during the last read cancels the reply even when bytes came before it.
    return m_received > 0 && !m_cancel;
}

bool CHBDataStreamMnt::ReadReply(uint32_t limitMs, const ReplyCompleteTest& complete)
{
    // Without a test every chunk ends the reply, as for data that cannot be a reply.
    return ReadChunks(limitMs, [&] { return !complete || complete(m_receive.data(), m_received); });
}

bool CHBDataStreamMnt::ReadImage(bool firstFlag, bool secondFlag, const std::atomic<bool>* stop)
{
    size_t expected = 0;
    const bool read = ReadChunks(
        0,
        [&] {
            if (expected == 0) {
                expected = ExpectedImageLength(m_receive.data(), m_received, firstFlag, secondFlag);
                VLOG(LOG_DETAIL, "dwImageLen=%i", static_cast<int>(expected));
            }
            return expected != 0 && m_received >= expected;
        },
        kStopCheckMs, stop);
    if (stop && *stop) {
        // The scanner goes on sending the picture; its tail must not become the
        // beginning of the next reply.
        m_drainPending = true;
        VLOG(LOG_INFO, "image read stopped after %u bytes", static_cast<unsigned>(m_received));
    }
    return read;
}

void CHBDataStreamMnt::DrainInput()
{
    m_drainPending = false;
    if (!IsOpen())
        return;
    const HBDS_HANDLE handle = m_current->handle;
    hbds_clean(handle, 0);
    std::vector<uint8_t> scratch(kReadChunk);
    const Clock::time_point start = Clock::now();
    size_t dropped = 0;
    uint32_t status = HBDS_OK;
    // A scanner in the middle of a large picture on a slow line can go on for minutes;
    // past the limit the exchange goes ahead and its reply checks catch what is left.
    while (MillisecondsSince(start) < kDrainLimitMs && hbds_is_open(handle)) {
        const int got = hbds_read_until(handle, scratch.data(), kReadChunk, kDrainQuietMs, -2, nullptr, 0, &status);
        if (got <= 0)
            break;
        dropped += static_cast<size_t>(got);
    }
    VLOG(LOG_INFO, "drained %u bytes of a stopped picture", static_cast<unsigned>(dropped));
}

size_t CHBDataStreamMnt::ExpectedImageLength(const uint8_t* bytes, size_t n, bool firstFlag, bool secondFlag)
{
    if (!bytes || n < 32)
        return 0;
    const size_t header = (firstFlag ? 8 : 12) + (secondFlag ? 2 : 0);
    size_t position = 7 + header;
    size_t distance = 0;
    if (firstFlag) {
        if (n < header + 8)
            return 0;
        for (size_t scanned = 0; scanned < 31 && position + scanned < n; ++scanned) {
            if (bytes[position + scanned] == 'H') {
                distance = scanned + 1;
                break;
            }
        }
        if (distance == 0)
            return 0;
        position += distance;
    }
    if (position + 8 > n)
        return 0;
    uint32_t length = 0;
    for (size_t i = 0; i < 8; ++i) {
        const int digit = HexDigit(bytes[position + i]);
        if (digit < 0)
            return 0;
        length = (length << 4) | static_cast<uint32_t>(digit);
    }
    return header + 18 + length + distance;
}

wchar_t* CHBDataStreamMnt::StoreText(const std::wstring& text, size_t& length)
{
    const size_t wanted = 2 * m_receive.size() + 1;
    if (m_text.size() < wanted)
        m_text.assign(wanted, 0);
    length = 0;
    if (text.size() + 1 > m_text.size())
        return nullptr;
    std::copy(text.begin(), text.end(), m_text.begin());
    m_text[text.size()] = L'\0';
    length = text.size();
    return m_text.data();
}

wchar_t* CHBDataStreamMnt::GetReplyText(size_t& length)
{
    const uint8_t* bytes = m_receive.data();
    const bool highBytes = std::any_of(bytes, bytes + m_received, [](uint8_t b) { return b >= 0x80; });
    if (highBytes) {
        const wxString utf8 = wxString::FromUTF8(reinterpret_cast<const char*>(bytes), m_received);
        if (!utf8.empty())
            return StoreText(utf8.ToStdWstring(), length);
    }
    return StoreText(FromNarrow(bytes, m_received), length);
}

wchar_t* CHBDataStreamMnt::GetReplyTextAnsi(size_t& length)
{
    const uint8_t* bytes = m_receive.data();
    const size_t upToZero = static_cast<size_t>(std::find(bytes, bytes + m_received, 0) - bytes);
    return StoreText(FromNarrow(bytes, upToZero), length);
}

bool CHBDataStreamMnt::CheckFrame(const uint8_t* bytes, size_t n, uint8_t& mark)
{
    mark = 0;
    if (!bytes || n < 6 || bytes[0] != 0x02 || bytes[1] != 0x00)
        return false;
    mark = bytes[4];
    const size_t length = static_cast<size_t>(bytes[2]) * 256 + bytes[3];
    if (mark == ';') {
        if (n != length + 6)
            return false;
    } else if (mark == '6') {
        if (n != length + 5)
            return false;
    } else {
        return false;
    }
    uint8_t check = 0xFF;
    for (size_t i = 2; i <= n - 2; ++i)
        check ^= bytes[i];
    return check == bytes[n - 1];
}

wxString CHBDataStreamMnt::ErrorTextForStatus(uint32_t status)
{
    for (const SStatusText& entry : kStatusTexts) {
        if (entry.code == status)
            return GetUiText(entry.identifier, entry.fallback);
    }
    return wxString();
}

wxString CHBDataStreamMnt::GetLastErrorText() const
{
    if (!m_current || m_current->handle == 0)
        return wxString();
    return ErrorTextForStatus(m_current->status);
}
