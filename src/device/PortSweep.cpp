// Finding the scanners: every port is looked at on its own thread over a link of its
// own, so that the search takes as long as the slowest port rather than the sum of
// them all. Ports are independent; only the program's open line is shared, and the
// sweep holds it for its whole length.
#include "HBDataStreamMnt.h"

#include "Log.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

namespace {

const uint32_t kEnumRoom = 256;
const int kDetectionTimeoutMs = 100;
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

}  // namespace

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
