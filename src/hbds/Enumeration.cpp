// Listing scanners: HID point-of-sale interfaces, serial ports and the detection of
// the baud rate at which a serial scanner answers.
#include "hbds.h"

#include "HidTransport.h"
#include "NetworkTransport.h"
#include "PortTable.h"
#include "SerialTransport.h"
#include "TlsStream.h"
#include "VirtualTransport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The rates scanners ship with, the most common first, so that a scanner is found
// after as few probes as possible.
const uint32_t kProbeRates[] = {9600, 115200, 57600, 38400, 19200, 4800, 2400, 1200};

// How long a scanner that answers late may take, when the sweep heard one.
const int kSlowScannerWaitMs = 1000;

// Asking for the product name changes nothing on the scanner.
const char kProbeFrame[] = "~\x01" "0000@QRYPDN;\x03";

bool LooksLikeReply(const uint8_t* data, int length)
{
    for (int i = 0; i + 1 < length; ++i) {
        if (data[i] == 0x02 && data[i + 1] == 0x01)
            return true;
    }
    return false;
}

// Writes one probe and reads what comes back within the wait.
bool ProbeOnce(HBDS_HANDLE handle, uint32_t rate, int timeoutMs)
{
    // Whatever is still on the line belongs to an earlier probe.
    hbds_clean(handle, 0);
    const uint32_t length = sizeof kProbeFrame - 1;
    if (hbds_write(handle, reinterpret_cast<const uint8_t*>(kProbeFrame), length) != static_cast<int>(length))
        return false;
    // The time-out covers the scanner's thinking; the reply's own bytes need their
    // wire time on top at slow rates.
    const int wait = timeoutMs + static_cast<int>(64 * 10 * 1000 / rate);
    uint8_t reply[256];
    const uint8_t terminator[] = {';', 0x03};
    uint32_t status = 0;
    const int got = hbds_read_until(handle, reply, sizeof reply, wait, -2, terminator, 2, &status);
    return LooksLikeReply(reply, got);
}

enum class EProbe { Silent, Answered, LateAnswer };

// A reply to the first probe may be a slow scanner's late answer to the probe at an
// earlier rate, heard now. Only a scanner that understands this rate answers the
// second probe too, which goes out after the first reply is in.
EProbe ProbeAt(uint32_t port, uint32_t rate, int timeoutMs)
{
    SerialSettings settings{};
    settings.port = port;
    settings.baudRate = rate;
    settings.dataBits = 8;
    HBDS_HANDLE handle = hbds_create();
    uint32_t status = 0;
    EProbe result = EProbe::Silent;
    if (hbds_open_com(handle, &settings, &status) && ProbeOnce(handle, rate, timeoutMs))
        result = ProbeOnce(handle, rate, timeoutMs) ? EProbe::Answered : EProbe::LateAnswer;
    hbds_destory(handle);
    return result;
}

uint32_t DetectRate(uint32_t port, int timeoutMs)
{
    bool lateAnswer = false;
    for (uint32_t rate : kProbeRates) {
        const EProbe probe = ProbeAt(port, rate, timeoutMs);
        if (probe == EProbe::Answered)
            return rate;
        lateAnswer = lateAnswer || probe == EProbe::LateAnswer;
    }
    if (!lateAnswer)
        return 0;
    // Something answered, but too slowly for the sweep: once more, with the wait a
    // slow scanner needs.
    logout_line(5, "Enumeration.cpp", __LINE__, "port %u answers late; probing again slowly", port);
    for (uint32_t rate : kProbeRates) {
        if (ProbeAt(port, rate, std::max(timeoutMs, kSlowScannerWaitMs)) == EProbe::Answered)
            return rate;
    }
    return 0;
}

}  // namespace

extern "C" {

int hbds_enum_usb_device(UsbDeviceInfo* devices, uint32_t room)
{
    if (!devices || room == 0)
        return 0;
    return hbds::EnumerateHidPosDevices(devices, room);
}

int hbds_enum_serial_ports(SerialSettings* ports, uint32_t room)
{
    if (!ports || room == 0)
        return 0;
    std::vector<std::string> paths = hbds::ListSystemSerialPorts();
    std::vector<std::string> added = hbds::UserPaths();
    const std::vector<std::string> virtualPorts = hbds::VirtualPortNames();
    added.insert(added.end(), virtualPorts.begin(), virtualPorts.end());
    for (const std::string& path : added) {
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    uint32_t count = 0;
    for (const std::string& path : paths) {
        if (count == room)
            break;
        SerialSettings& record = ports[count++];
        std::memset(&record, 0, sizeof record);
        record.port = hbds::PortNumberForPath(path);
        record.baudRate = 9600;
        record.dataBits = 8;
    }
    return static_cast<int>(count);
}

int hbds_detect_serial_settings(SerialSettings* ports, uint32_t count, int timeoutMs)
{
    if (!ports)
        return 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t found = DetectRate(ports[i].port, timeoutMs);
        ports[i].baudRate = found;
        ports[i].dataBits = 8;
        ports[i].stopBits = 0;
        ports[i].parity = 0;
        logout_line(5, "Enumeration.cpp", __LINE__, "port %u answers at %u", ports[i].port, found);
    }
    return static_cast<int>(count);
}

uint32_t hbds_add_serial_path(const char* path)
{
    if (!path || !*path)
        return 0;
    hbds::AddUserPath(path);
    return hbds::PortNumberForPath(path);
}

int hbds_add_serial_path_list(const char* list)
{
    if (!list)
        return 0;
    int added = 0;
    for (const std::string& path : hbds::SplitPortList(list))
        added += hbds_add_serial_path(path.c_str()) != 0;
    return added;
}

void hbds_clear_serial_paths(void)
{
    hbds::ClearUserPaths();
}

void hbds_set_tls_files(const char* caFile, const char* certFile, const char* keyFile)
{
    hbds::SetTlsFiles({caFile ? caFile : "", certFile ? certFile : "", keyFile ? keyFile : ""});
}

int hbds_last_network_problem(char* buffer, size_t size)
{
    if (!buffer || size == 0)
        return 0;
    std::snprintf(buffer, size, "%s", hbds::LastNetworkProblem().c_str());
    return 1;
}

int hbds_serial_port_path(uint32_t port, char* buffer, size_t size)
{
    std::string path;
    if (!buffer || size == 0 || !hbds::PathForPortNumber(port, path))
        return 0;
    std::snprintf(buffer, size, "%s", path.c_str());
    return 1;
}

}  // extern "C"
