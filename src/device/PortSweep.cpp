// Finding the scanners: every port is looked at on its own thread over a link of its
// own, so that the search takes as long as the slowest port rather than the sum of
// them all. Ports are independent; only the program's open line is shared, and the
// sweep holds it for its whole length.
#include "HBDataStreamMnt.h"

#include "app/Log.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

const uint32_t kEnumRoom = 256;
// A scanner back from a restart answers who it is within this, its reply's wire time aside.
const int kIdentityWaitMs = 300;
// A machine lists some dozens of ports at most; beyond this many at once the threads
// would only wait for each other.
const size_t kMostSweepThreads = 32;

// Runs `job(i)` for every i below `count`, on up to kMostSweepThreads threads at once,
// and returns when all have ended.
template <typename Job>
void RunOnThreads(size_t count, Job&& job)
{
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < count; i = next++)
            job(i);
    };
    std::vector<std::thread> threads;
    const size_t threadCount = std::min(count, kMostSweepThreads);
    for (size_t t = 0; t < threadCount; ++t)
        threads.emplace_back(worker);
    for (std::thread& thread : threads)
        thread.join();
}

// Who a scanner is, as its entry knows it, for finding it again on another port.
struct SIdentity {
    std::string serialNumber;  // what the scanner answers
    std::string productName;
    std::string usbSerial;     // what a USB scanner's descriptor says, for USB candidates
    std::string usbProduct;
    bool network = false;
};

bool IsNetworkPort(uint32_t port)
{
    char path[512] = {};
    return hbds_serial_port_path(port, path, sizeof path) && std::strstr(path, "://") != nullptr;
}

// The scanner's own answer to "who are you", read straight off the line: the search
// for a restarted scanner runs inside a download, below the command engine.
std::string AskIdentity(uint32_t port, uint32_t rate)
{
    SerialSettings settings{};
    settings.port = port;
    settings.baudRate = rate;
    settings.dataBits = 8;
    const HBDS_HANDLE handle = hbds_create();
    uint32_t status = 0;
    std::string reply;
    if (handle != 0 && hbds_open_com(handle, &settings, &status)) {
        hbds_clean(handle, 0);
        static const char kRequest[] = "~\x01" "0000@QRYPDN,PSN;\x03";
        const uint32_t length = sizeof kRequest - 1;
        if (hbds_write(handle, reinterpret_cast<const uint8_t*>(kRequest), length) == static_cast<int>(length)) {
            uint8_t buffer[512];
            const int wait = kIdentityWaitMs + static_cast<int>(sizeof buffer * 10 * 1000 / std::max<uint32_t>(rate, 1));
            const int got = hbds_read_until(handle, buffer, sizeof buffer, wait, -2, CExchangeFrame::kTerminator,
                                            CExchangeFrame::kTerminatorLength, &status);
            reply.assign(reinterpret_cast<const char*>(buffer), static_cast<size_t>(std::max(got, 0)));
        }
    }
    hbds_destory(handle);
    return reply;
}

bool IsSameScanner(const SIdentity& who, const DeviceEntry& candidate)
{
    if (candidate.kind == DEVICE_KIND_USB) {
        const std::string serial = candidate.usb.serialNumber;
        return !who.usbSerial.empty() ? serial == who.usbSerial
                                      : !who.usbProduct.empty() && candidate.usb.product == who.usbProduct;
    }
    if (IsNetworkPort(candidate.serial.port) != who.network)
        return false;
    const std::string answer = AskIdentity(candidate.serial.port, candidate.serial.baudRate);
    const std::string& mark = who.serialNumber.empty() ? who.productName : who.serialNumber;
    return !mark.empty() && answer.find(mark) != std::string::npos;
}

}  // namespace

bool CHBDataStreamMnt::FindAgain(DeviceEntry& entry)
{
    SIdentity who;
    who.serialNumber = entry.serialNumber.utf8_string();
    who.productName = entry.productName.utf8_string();
    if (entry.kind == DEVICE_KIND_USB) {
        who.usbSerial = entry.usb.serialNumber;
        who.usbProduct = entry.usb.product;
    }
    who.network = entry.kind == DEVICE_KIND_SERIAL && IsNetworkPort(entry.serial.port);
    const bool known = entry.kind == DEVICE_KIND_USB ? !who.usbSerial.empty() || !who.usbProduct.empty()
                                                     : !who.serialNumber.empty() || !who.productName.empty();
    if (!known)
        return false;
    std::vector<std::unique_ptr<DeviceEntry>> candidates = ListCandidates();
    // A scanner keeps its line rate over a restart. Its old port is a candidate like
    // any other: what answers there now may be another device that took the name.
    for (std::unique_ptr<DeviceEntry>& candidate : candidates) {
        if (candidate->kind != entry.kind)
            candidate.reset();  // a USB scanner stays one, and so does a serial one
        else if (candidate->kind == DEVICE_KIND_SERIAL)
            candidate->serial.baudRate = entry.serial.baudRate;
    }
    std::atomic<size_t> found{candidates.size()};
    RunOnThreads(candidates.size(), [&](size_t i) {
        if (candidates[i] && IsSameScanner(who, *candidates[i]))
            found = i;
    });
    if (found >= candidates.size())
        return false;
    const DeviceEntry& there = *candidates[found];
    VLOG(LOG_INFO, "the scanner came back on %s", U8(PortPathOf(there)));
    entry.kind = there.kind;
    entry.usb = there.usb;
    entry.serial = there.serial;
    return true;
}

std::unique_ptr<CHBDataStreamMnt> CHBDataStreamMnt::CreatePortLink()
{
    return std::unique_ptr<CHBDataStreamMnt>(new CHBDataStreamMnt());
}

int CHBDataStreamMnt::EnumDevices(const PortQuery& query)
{
    CLineHold hold = m_line.Take(LineUsers::kSearch);
    DeleteDevices();
    m_cancel = 0;
    m_devices = ProbeAll(ListCandidates(), query);
    return static_cast<int>(m_devices.size());
}

std::vector<std::unique_ptr<DeviceEntry>> CHBDataStreamMnt::SweepPorts(const PortQuery& query)
{
    CLineHold hold = m_line.Take(LineUsers::kSearch);
    CloseDevice(0);
    return ProbeAll(ListCandidates(), query);
}

void CHBDataStreamMnt::ReplaceDevices(std::vector<std::unique_ptr<DeviceEntry>> entries)
{
    CLineHold hold = m_line.Take(LineUsers::kSearch);
    DeleteDevices();
    m_devices = std::move(entries);
}

void CHBDataStreamMnt::IdentifyDevices(const PortQuery& query)
{
    CLineHold hold = m_line.Take(LineUsers::kSearch);
    CloseDevice(0);
    std::vector<std::unique_ptr<DeviceEntry>> listed;
    listed.swap(m_devices);
    m_devices = ProbeAll(std::move(listed), query);
}

std::vector<std::unique_ptr<DeviceEntry>> CHBDataStreamMnt::ListCandidates()
{
    std::vector<std::unique_ptr<DeviceEntry>> candidates;
    std::vector<UsbDeviceInfo> usb(kEnumRoom);
    std::memset(usb.data(), 0, usb.size() * sizeof(UsbDeviceInfo));
    const int usbCount = hbds_enum_usb_device(usb.data(), kEnumRoom);
    VLOG(LOG_INFO, "hid devices=%i", usbCount);
    for (int i = 0; i < usbCount; ++i) {
        auto entry = std::make_unique<DeviceEntry>();
        entry->kind = DEVICE_KIND_USB;
        entry->usb = usb[static_cast<size_t>(i)];
        candidates.push_back(std::move(entry));
    }
    std::vector<SerialSettings> serial(kEnumRoom);
    std::memset(serial.data(), 0, serial.size() * sizeof(SerialSettings));
    const int serialCount = hbds_enum_serial_ports(serial.data(), kEnumRoom);
    VLOG(LOG_INFO, "com devices=%i", serialCount);
    for (int i = 0; i < serialCount; ++i) {
        auto entry = std::make_unique<DeviceEntry>();
        entry->kind = DEVICE_KIND_SERIAL;
        entry->serial = serial[static_cast<size_t>(i)];
        entry->serial.baudRate = 0;  // to be found
        candidates.push_back(std::move(entry));
    }
    return candidates;
}

bool CHBDataStreamMnt::ProbeCandidate(DeviceEntry& entry, const PortQuery& query)
{
    if (entry.kind == DEVICE_KIND_SERIAL && entry.serial.baudRate == 0) {
        // A port at which nothing answers holds no scanner.
        if (hbds_detect_serial_settings(&entry.serial, 1, kDetectionTimeoutMs) < 1 || entry.serial.baudRate == 0)
            return false;
    } else if (entry.kind == DEVICE_KIND_SERIAL &&
               !hbds_probe_serial_rate(entry.serial.port, entry.serial.baudRate, kDetectionTimeoutMs)) {
        // A rate given by hand that nothing answers at fails as quickly as a search
        // would, instead of after the identity queries' full time-outs.
        return false;
    }
    IdentifyDevice(entry, query);
    return true;
}

std::vector<std::unique_ptr<DeviceEntry>> CHBDataStreamMnt::ProbeAll(
    std::vector<std::unique_ptr<DeviceEntry>> candidates, const PortQuery& query) const
{
    // Each thread owns one candidate and one link while it works; the results are only
    // read here after every thread has been joined.
    const int32_t readTimeout = m_readTimeout;
    RunOnThreads(candidates.size(), [&](size_t i) {
        std::unique_ptr<CHBDataStreamMnt> link = CreatePortLink();
        link->SetReadTimeout(readTimeout);
        if (!link->ProbeCandidate(*candidates[i], query))
            candidates[i].reset();
    });
    // Detection only saw reply marks; a port that then names no product may hold a
    // scanner at another rate or something else entirely, and showing it as a scanner
    // would lead the user to configure nothing.
    std::vector<std::unique_ptr<DeviceEntry>> found;
    for (std::unique_ptr<DeviceEntry>& entry : candidates) {
        if (!entry)
            continue;
        if (entry->productName.empty()) {
            VLOG(LOG_INFO, "device of kind %i named no product and is left out", static_cast<int>(entry->kind));
            continue;
        }
        found.push_back(std::move(entry));
    }
    VLOG(LOG_INFO, "nDetectCnt=%i", static_cast<int>(found.size()));
    return found;
}
