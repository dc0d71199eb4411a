#include "HBDataStreamMnt.h"

#include "DeviceInfo.h"
#include "app/Log.h"
#include "app/NarrowText.h"
#include "app/TaskProgress.h"
#include "app/UiText.h"

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
// Time a scanner needs after the identity query before it takes the next one: it
// paces the scanner, nobody waits for anybody here.
const int kIdentityPauseMs = 1000;
// Each library read lasts at most this long, so that a close, a cancel or a stop
// request is seen within it.
const int32_t kReadSliceMs = 100;
// The line counts as quiet after this long without a byte.
const int kDrainQuietMs = 150;
// A broken reply's rest is drained for at most this long before the line is closed.
const uint32_t kOverrunDrainMs = 2000;
// The tail of a stopped picture may take long on a slow line; draining happens on
// the capture's own thread, and past this the line is closed instead.
const uint32_t kImageDrainMs = 30000;  // at most, whatever a picture announced
// What the scanner sends by itself is kept up to this much for the terminal; older
// bytes go first, as they would from a scanner's own buffer.
const size_t kMostKeptOutput = 64 * 1024;
// Picture replies: the header must announce the length within this many bytes, a
// picture may not be larger than this, and it must arrive within twice its time on
// the line plus this margin.
const size_t kMostImageHeader = 64 * 1024;
const size_t kMostImageBytes = 32 * 1024 * 1024;
// Until a picture has announced its size, its header may be this late; after that it
// may take its time on the wire and half as much again, plus this margin.
const uint32_t kImageMarginMs = 3000;
const uint32_t kImageWirePercent = 150;
// A line without a rate of its own (USB, network) is taken to be at least this fast.
const uint32_t kFastLineBaud = 115200;

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
    {19, "ID_DEVICE_ERROR_BOOT_MODE", "下载中断，扫描器处于 Boot 模式，请重新下载该文件以恢复!"},
    {20, "ID_DEVICE_ERROR_RESTART_UNSEEN", "扫描器重启后未能重新连接，无法确认升级结果!"},
    {21, "ID_DEVICE_ERROR_CERTIFICATE", "服务器证书验证失败，或服务器拒绝了本机证书!"},
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
    // The close is the line thread's last job; whoever destroys the link (the program
    // at its end, a test) does not take the line itself.
    QueueClose()->Wait();
    m_jobs.Shutdown();
    DeleteDevices();
}

void CHBDataStreamMnt::DeleteDevices()
{
    CloseDevice(0);
    m_devices.clear();
}

LineJobPtr CHBDataStreamMnt::QueueClose()
{
    m_jobs.CancelAll();
    if (m_current) {
        m_cancel = 1;  // a read in progress ends at its next slice
        m_line.AskHolderToStop();
    }
    return m_jobs.Queue(LineUsers::kConnect, [this](CLineJob&) { return CloseDevice(0); });
}

DeviceEntry* CHBDataStreamMnt::AddDevice(std::unique_ptr<DeviceEntry> entry)
{
    // The list changes under the line's rule: no exchange is looking at it meanwhile.
    CLineHold hold = m_line.Take(LineUsers::kSearch);
    m_devices.push_back(std::move(entry));
    return m_devices.back().get();
}

int CHBDataStreamMnt::EnumSerialPort(const std::string& path, uint32_t baudRate, const PortQuery& query)
{
    CLineHold hold = m_line.Take(LineUsers::kSearch);
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

void CHBDataStreamMnt::IdentifyDevice(DeviceEntry& entry, const PortQuery& query)
{
    if (!query || !OpenDevice(&entry))
        return;
    std::vector<SReplyValue> items;
    const bool named = query(*this, L"@QRYSYS,PDN,PSN", items);
    if (!named && !GetReadProblem().empty()) {
        // Whatever answers there sends without end; asking it more costs only time.
        CloseDevice(0);
        return;
    }
    if (named) {
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
    const bool answered = query(*this, L"BASQSY", extra);
    CloseDevice(0);
    if (answered && !extra.empty() && extra[0].name == "BASQSY") {
        const wxString& value = extra[0].value;
        entry.systemInfo = entry.systemInfo.empty() ? value : entry.systemInfo + "\r\n" + value;
    }
}

bool CHBDataStreamMnt::TryReplaceDevices(std::vector<std::unique_ptr<DeviceEntry>>& entries)
{
    CLineHold hold = m_line.TryTake(LineUsers::kSearch);
    if (!hold || m_current || m_jobs.Queued() != 0)
        return false;
    DeleteDevices();
    m_devices = std::move(entries);
    return true;
}

void CHBDataStreamMnt::RemoveUnmatched()
{
    CLineHold hold = m_line.Take(LineUsers::kSearch);
    auto unmatched = [this](const std::unique_ptr<DeviceEntry>& entry) {
        if (entry->model)
            return false;
        if (entry.get() == m_current) {
            m_current = nullptr;
            m_openHandle = 0;
        }
        return true;
    };
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(), unmatched), m_devices.end());
}

bool CHBDataStreamMnt::OpenDevice(DeviceEntry* entry)
{
    if (!entry)
        return false;
    CLineHold hold = m_line.Take(LineUsers::kExchange);
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
    m_openHandle = entry->handle;
    m_cancel = 0;
    hbds_clean(entry->handle, 0);
    return true;
}

bool CHBDataStreamMnt::CloseDevice(uint32_t delayMs)
{
    if (!m_current || m_current.load()->handle == 0)
        return true;
    // A read in progress on another thread ends at its next slice; a long operation
    // is asked to stop. Either gives the line back before it is closed under it.
    m_cancel = 1;
    if (m_line.IsHeldElsewhere())
        m_line.AskHolderToStop();
    if (delayMs != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    CLineHold hold = m_line.Take(LineUsers::kExchange);
    if (!m_current || m_current.load()->handle == 0)
        return true;
    m_openHandle = 0;
    hbds_close(m_current.load()->handle);
    hbds_destory(m_current.load()->handle);
    m_current.load()->handle = 0;
    m_current = nullptr;
    return true;
}

bool CHBDataStreamMnt::IsOpen() const
{
    // Asked from any thread without the line: the handle is kept where that is safe.
    const HBDS_HANDLE handle = m_openHandle;
    return handle != 0 && hbds_is_open(handle);
}

template <typename T>
bool CHBDataStreamMnt::SetSerialField(T SerialSettings::*field, T value)
{
    CLineHold hold = m_line.Take(LineUsers::kExchange);
    if (!IsOpen())
        return false;
    m_current.load()->serial.*field = value;
    return hbds_change_serial_settings(m_current.load()->handle, &m_current.load()->serial) != 0;
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
    if (!text)
        return 0;
    const std::string bytes = ToNarrow(text, length);
    return WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

uint32_t CHBDataStreamMnt::WriteBytes(const uint8_t* bytes, size_t length)
{
    CLineHold hold = m_line.Take(LineUsers::kExchange);
    if (!IsOpen() || !bytes || length == 0 || CLineJobs::IsCurrentJobCancelled())
        return 0;
    ClearInput(m_current.load()->handle);
    const int written = hbds_write(m_current.load()->handle, bytes, static_cast<uint32_t>(length));
    // The library's write has no status of its own; a short write is a failed
    // exchange, and the user is told so rather than shown nothing.
    if (written < static_cast<int>(length) && m_current.load()->status == HBDS_OK)
        m_current.load()->status = HBDS_ERR_COMMUNICATION;
    return written > 0 ? static_cast<uint32_t>(written) : 0;
}

void CHBDataStreamMnt::DropInput()
{
    CLineHold hold = m_line.Take(LineUsers::kExchange);
    if (IsOpen())
        ClearInput(m_current.load()->handle);
}

void CHBDataStreamMnt::ClearInput(HBDS_HANDLE handle)
{
    if (m_keepDeviceOutput) {
        // Only what is there already: a read with no time to wait.
        std::vector<uint8_t> pending(kReadChunk);
        uint32_t status = HBDS_OK;
        const int got = hbds_read_until(handle, pending.data(), kReadChunk, 0, -2, nullptr, 0, &status);
        if (got > 0)
            KeepDeviceOutput(pending.data(), static_cast<size_t>(got));
    }
    hbds_clean(handle, 0);
}

void CHBDataStreamMnt::SetKeepDeviceOutput(bool keep)
{
    m_keepDeviceOutput = keep;
    if (!keep) {
        std::lock_guard<std::mutex> lock(m_outputMutex);
        m_deviceOutput.clear();
    }
}

void CHBDataStreamMnt::KeepDeviceOutput(const uint8_t* bytes, size_t n)
{
    if (!m_keepDeviceOutput || n == 0)
        return;
    std::lock_guard<std::mutex> lock(m_outputMutex);
    m_deviceOutput.append(reinterpret_cast<const char*>(bytes), n);
    if (m_deviceOutput.size() > kMostKeptOutput)
        m_deviceOutput.erase(0, m_deviceOutput.size() - kMostKeptOutput);
}

std::string CHBDataStreamMnt::TakeDeviceOutput()
{
    std::lock_guard<std::mutex> lock(m_outputMutex);
    std::string taken;
    taken.swap(m_deviceOutput);
    return taken;
}

wxString CHBDataStreamMnt::GetReadProblem() const
{
    std::lock_guard<std::mutex> lock(m_outputMutex);
    return m_readProblem;
}

void CHBDataStreamMnt::EnsureReceiveRoom()
{
    // One byte more than a read may bring, for the NUL that ends the bytes as text.
    while (m_receive.size() - m_received < kReadChunk + 1)
        m_receive.resize(m_receive.size() * 2);
}

template <typename Done>
CHBDataStreamMnt::EReadEnd CHBDataStreamMnt::ReadChunks(const SReadBounds& bounds, Done&& done)
{
    m_received = 0;
    m_setAside = 0;
    {
        std::lock_guard<std::mutex> lock(m_outputMutex);
        m_readProblem.clear();
    }
    if (!IsOpen())
        return EReadEnd::SILENT;
    const HBDS_HANDLE handle = m_current.load()->handle;
    uint32_t* status = &m_current.load()->status;
    const int32_t readTimeout = m_readTimeout;
    const uint32_t silence = (bounds.limitMs != 0 && static_cast<int32_t>(bounds.limitMs) < readTimeout)
                                 ? bounds.limitMs
                                 : static_cast<uint32_t>(std::max(readTimeout, 0));
    const Clock::time_point start = Clock::now();
    Clock::time_point lastByte = start;
    Clock::time_point firstByte;
    std::fill(m_receive.begin(), m_receive.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(m_receive.size(), kReadChunk)), 0);
    for (;;) {
        EnsureReceiveRoom();
        // What was set aside as the scanner's own output counts too: a line that sends
        // nothing but such output is as broken as a reply without end.
        const size_t taken = m_received + m_setAside;
        const size_t room = std::min<size_t>(kReadChunk, bounds.mostBytes - std::min(bounds.mostBytes, taken));
        if (room == 0)
            return EReadEnd::TOO_LONG;
        const int32_t slice = static_cast<int32_t>(std::min<uint32_t>(kReadSliceMs, silence));
        const int got = hbds_read_until(handle, m_receive.data() + m_received, static_cast<uint32_t>(room), slice, -2,
                                        CExchangeFrame::kTerminator, CExchangeFrame::kTerminatorLength, status);
        if (m_cancel || (bounds.stop && *bounds.stop) || CLineJobs::IsCurrentJobCancelled())
            return EReadEnd::CANCELLED;
        if (got > 0) {
            lastByte = Clock::now();
            if (m_received + m_setAside == 0)
                firstByte = lastByte;
            m_received += static_cast<size_t>(got);
            m_receive[m_received] = 0;
            if (done())
                return EReadEnd::DONE;
        } else if (*status != HBDS_OK || !hbds_is_open(handle) || MillisecondsSince(lastByte) >= silence) {
            // Silence for the whole read time-out ends the reply: a silent device costs
            // one time-out. A failing port ends it at once.
            return EReadEnd::SILENT;
        }
        if (bounds.limitMs != 0 && MillisecondsSince(start) > bounds.limitMs)
            return EReadEnd::DONE;
        const size_t came = m_received + m_setAside;
        if (came > 0 && MillisecondsSince(firstByte) >
                            bounds.deadlineMs + static_cast<uint64_t>(WireTimeMs(came)) * bounds.wirePercent / 100)
            return EReadEnd::TOO_SLOW;
    }
}

void CHBDataStreamMnt::ReportOverrun(EReadEnd end, const SReadBounds& bounds)
{
    wxString problem;
    if (end == EReadEnd::TOO_LONG)
        problem = wxString::Format(GetUiText("ID_READ_TOO_LONG", "应答超过 %u KB 仍未结束"),
                                   static_cast<unsigned>(bounds.mostBytes / 1024));
    else
        problem = wxString::Format(GetUiText("ID_READ_TOO_SLOW", "应答持续 %u 秒仍未结束"),
                                   static_cast<unsigned>((bounds.deadlineMs + 2 * WireTimeMs(m_received + m_setAside)) / 1000));
    VLOG(LOG_INFO, "read stopped after %u bytes: %s", static_cast<unsigned>(m_received), U8(problem));
    {
        std::lock_guard<std::mutex> lock(m_outputMutex);
        m_readProblem = problem;
    }
    if (m_current && m_current.load()->status == HBDS_OK)
        m_current.load()->status = HBDS_ERR_COMMUNICATION;
    DrainInput(kOverrunDrainMs);
}

bool CHBDataStreamMnt::ReadReply(uint32_t limitMs)
{
    CLineHold hold = m_line.Take(LineUsers::kExchange);
    SReadBounds bounds;
    bounds.limitMs = limitMs;
    const EReadEnd end =
        ReadChunks(bounds, [&] { return CExchangeFrame::IsReplyComplete(m_receive.data(), m_received); });
    if (end == EReadEnd::TOO_LONG || end == EReadEnd::TOO_SLOW) {
        ReportOverrun(end, bounds);
        return false;
    }
    return end != EReadEnd::CANCELLED && m_received > 0;
}

bool CHBDataStreamMnt::ReadExchangeReply()
{
    CLineHold hold = m_line.Take(LineUsers::kExchange);
    SReadBounds bounds;
    const EReadEnd end = ReadChunks(bounds, [&] {
        const size_t start = CExchangeFrame::ReplyStart(m_receive.data(), m_received);
        if (start > 0)
            SetAsideReceived(start);
        return m_received >= CExchangeFrame::kReplyHeaderLength &&
               CExchangeFrame::IsReplyComplete(m_receive.data(), m_received);
    });
    if (end == EReadEnd::TOO_LONG || end == EReadEnd::TOO_SLOW) {
        ReportOverrun(end, bounds);
        return false;
    }
    return end != EReadEnd::CANCELLED && m_received > 0;
}

void CHBDataStreamMnt::SetAsideReceived(size_t count)
{
    count = std::min(count, m_received);
    m_setAside += count;
    KeepDeviceOutput(m_receive.data(), count);
    std::copy(m_receive.begin() + static_cast<std::ptrdiff_t>(count),
              m_receive.begin() + static_cast<std::ptrdiff_t>(m_received), m_receive.begin());
    m_received -= count;
    m_receive[m_received] = 0;
}

bool CHBDataStreamMnt::ReadDeviceOutput(uint32_t limitMs)
{
    CLineHold hold = m_line.Take(LineUsers::kTerminal);
    // Scanner output that came around an exchange goes first, in the order it came.
    std::string kept = TakeDeviceOutput();
    if (!kept.empty()) {
        m_received = std::min(kept.size(), m_receive.size() - 1);
        std::copy(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(m_received), m_receive.begin());
        m_receive[m_received] = 0;
        return true;
    }
    SReadBounds bounds;
    bounds.limitMs = limitMs;
    bounds.mostBytes = CExchangeFrame::kMostDeviceBlock;
    const EReadEnd end = ReadChunks(bounds, [] { return true; });
    return end != EReadEnd::CANCELLED && m_received > 0;
}

bool CHBDataStreamMnt::ReadImage(bool firstFlag, bool secondFlag, const std::atomic<bool>* stop)
{
    CLineHold hold = m_line.Take(LineUsers::kCapture);
    size_t expected = 0;
    SReadBounds bounds;
    bounds.mostBytes = kMostImageHeader;
    bounds.deadlineMs = kImageMarginMs;
    bounds.wirePercent = kImageWirePercent;
    bounds.stop = stop;
    bool refused = false;
    const EReadEnd end = ReadChunks(bounds, [&] {
        if (expected == 0) {
            expected = ExpectedImageLength(m_receive.data(), m_received, firstFlag, secondFlag);
            VLOG(LOG_DETAIL, "dwImageLen=%i", static_cast<int>(expected));
            if (expected > kMostImageBytes) {
                refused = true;
                return true;
            }
            if (expected != 0) {
                bounds.mostBytes = expected;  // from now on the picture may take what it announced
                StartTaskProgress(expected);
            }
        }
        SetTaskProgressDone(m_received);
        return expected != 0 && m_received >= expected;
    });
    if (end == EReadEnd::CANCELLED && stop && *stop) {
        // The scanner goes on sending the picture; its tail must not become the
        // beginning of the next reply, and this thread holds the line for it anyway.
        VLOG(LOG_INFO, "image read stopped after %u bytes", static_cast<unsigned>(m_received));
        // A picture that announced its size is drained by count: a pause in its stream
        // is no end of it.
        const uint32_t limitMs = ImageDrainMs(expected, m_received);
        if (expected > m_received)
            DropBytes(expected - m_received, limitMs);
        DrainInput(limitMs);
        m_received = 0;
        return false;
    }
    if (refused) {
        std::lock_guard<std::mutex> lock(m_outputMutex);
        m_readProblem = wxString::Format(GetUiText("ID_READ_IMAGE_TOO_LARGE", "图像声明长度 %u 字节，超出设备所能发送的大小"),
                                         static_cast<unsigned>(expected));
    }
    if (refused || end == EReadEnd::TOO_LONG || end == EReadEnd::TOO_SLOW) {
        if (!refused)
            ReportOverrun(end, bounds);
        else
            DrainInput(kOverrunDrainMs);
        m_received = 0;
        return false;
    }
    return end != EReadEnd::CANCELLED && m_received > 0;
}

uint32_t CHBDataStreamMnt::ImageDrainMs(size_t expected, size_t received) const
{
    // The rest of what the picture announced, at this line's rate; a picture that had
    // not announced itself yet is only a header away from it.
    const size_t rest = expected > received ? expected - received : kMostImageHeader;
    const uint64_t limit = kImageMarginMs + static_cast<uint64_t>(WireTimeMs(rest)) * kImageWirePercent / 100;
    return static_cast<uint32_t>(std::min<uint64_t>(limit, kImageDrainMs));
}

uint32_t CHBDataStreamMnt::WireTimeMs(size_t bytes) const
{
    uint32_t baud = kFastLineBaud;
    if (m_current && m_current.load()->kind == DEVICE_KIND_SERIAL && m_current.load()->serial.baudRate != 0)
        baud = std::min(m_current.load()->serial.baudRate, kFastLineBaud);
    // Ten bits a byte: start, eight data bits, stop.
    return static_cast<uint32_t>(std::min<uint64_t>(UINT32_MAX / 4, static_cast<uint64_t>(bytes) * 10 * 1000 / baud));
}

void CHBDataStreamMnt::DropBytes(size_t count, uint32_t limitMs)
{
    if (!IsOpen())
        return;
    const HBDS_HANDLE handle = m_current.load()->handle;
    std::vector<uint8_t> scratch(kReadChunk);
    const Clock::time_point start = Clock::now();
    size_t dropped = 0;
    uint32_t status = HBDS_OK;
    while (dropped < count && MillisecondsSince(start) < limitMs && hbds_is_open(handle) && !m_cancel) {
        const uint32_t want = static_cast<uint32_t>(std::min<size_t>(kReadChunk, count - dropped));
        const int got = hbds_read_until(handle, scratch.data(), want, kReadSliceMs, -2, nullptr, 0, &status);
        dropped += got > 0 ? static_cast<size_t>(got) : 0;
        if (status != HBDS_OK)
            break;
    }
    VLOG(LOG_INFO, "dropped %u of the %u bytes still to come", static_cast<unsigned>(dropped),
         static_cast<unsigned>(count));
}

void CHBDataStreamMnt::DrainInput(uint32_t limitMs)
{
    if (!IsOpen())
        return;
    const HBDS_HANDLE handle = m_current.load()->handle;
    hbds_clean(handle, 0);
    std::vector<uint8_t> scratch(kReadChunk);
    const Clock::time_point start = Clock::now();
    size_t dropped = 0;
    uint32_t status = HBDS_OK;
    bool quiet = false;
    while (!quiet && MillisecondsSince(start) < limitMs && hbds_is_open(handle) && !m_cancel) {
        const int got = hbds_read_until(handle, scratch.data(), kReadChunk, kDrainQuietMs, -2, nullptr, 0, &status);
        quiet = got <= 0;
        dropped += got > 0 ? static_cast<size_t>(got) : 0;
    }
    VLOG(LOG_INFO, "drained %u bytes", static_cast<unsigned>(dropped));
    if (!quiet && !m_cancel) {
        // A line that will not go quiet cannot carry another exchange.
        VLOG(LOG_INFO, "the line would not go quiet and is closed");
        CloseDevice(0);
    }
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
    return CExchangeFrame::CheckFrame(bytes, n, mark);
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
    if (!m_current || m_current.load()->handle == 0)
        return wxString();
    return ErrorTextForStatus(m_current.load()->status);
}
