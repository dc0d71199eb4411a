// Listing scanners: HID point-of-sale interfaces, serial ports and the detection of
// the baud rate at which a serial scanner answers.
#include "hbds.h"

#include "Deadline.h"
#include "HidTransport.h"
#include "NetworkTransport.h"
#include "PortTable.h"
#include "SerialTransport.h"
#include "TlsStream.h"
#include "VirtualTransport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The rates scanners ship with, the most common first, so that a scanner is found
// after as few probes as possible: 9600 is the factory rate of most scanners and
// 115200 the one configured fleets run at; the slow rates come last because each of
// them costs the most wire time.
const uint32_t kProbeRates[] = {9600, 115200, 57600, 38400, 19200, 4800, 2400, 1200};

// How long a scanner that answers late may take, when the sweep heard one.
const int kSlowScannerWaitMs = 1000;
// A port is given up after this long (the open aside), so that a search or a wrong
// rate fails within a few seconds, with the reason, instead of trying on.
const int kDetectionBudgetMs = 2500;
// The longest reply to the probe ("Product Name: " and a name) on the wire, in bytes.
const int kProbeReplyBytes = 64;

// Asking for the product name changes nothing on the scanner.
const char kProbeFrame[] = "~\x01" "0000@QRYPDN;\x03";
const uint32_t kProbeLength = sizeof kProbeFrame - 1;

using hbds::Clock;

bool LooksLikeReply(const uint8_t* data, int length)
{
    for (int i = 0; i + 1 < length; ++i) {
        if (data[i] == 0x02 && data[i + 1] == 0x01)
            return true;
    }
    return false;
}

int WireMs(uint32_t rate, int bytes)
{
    return static_cast<int>(static_cast<long long>(bytes) * 10 * 1000 / std::max<uint32_t>(rate, 1)) + 1;
}

// Writes one probe and reads what comes back. A silent port costs only the scanner's
// thinking time (`timeoutMs`) and the probe's own wire time; once a reply has begun,
// its bytes get the wire time they need at this rate.
bool ProbeOnce(HBDS_HANDLE handle, uint32_t rate, int timeoutMs)
{
    // Whatever is still on the line belongs to an earlier probe.
    hbds_clean(handle, 0);
    if (hbds_write(handle, reinterpret_cast<const uint8_t*>(kProbeFrame), kProbeLength) != static_cast<int>(kProbeLength))
        return false;
    uint8_t reply[256];
    const uint8_t terminator[] = {';', 0x03};
    uint32_t status = 0;
    const int firstWait = timeoutMs + WireMs(rate, static_cast<int>(kProbeLength) + 1);
    int got = hbds_read_until(handle, reply, sizeof reply, firstWait, -2, terminator, 2, &status);
    if (got > 0 && !LooksLikeReply(reply, got))
        got += hbds_read_until(handle, reply + got, sizeof reply - static_cast<uint32_t>(got),
                               WireMs(rate, kProbeReplyBytes), -2, terminator, 2, &status);
    return LooksLikeReply(reply, got);
}

enum class EProbe { Silent, Answered, LateAnswer };

// A reply to the first probe may be a slow scanner's late answer to the probe at an
// earlier rate, heard now. Only a scanner that understands this rate answers the
// second probe too, which goes out after the first reply is in.
EProbe ProbeAt(HBDS_HANDLE handle, const SerialSettings& port, uint32_t rate, int timeoutMs)
{
    SerialSettings settings = port;
    settings.baudRate = rate;
    if (!hbds_change_serial_settings(handle, &settings) || !ProbeOnce(handle, rate, timeoutMs))
        return EProbe::Silent;
    return ProbeOnce(handle, rate, timeoutMs) ? EProbe::Answered : EProbe::LateAnswer;
}

// A machine's own ports may carry a console, a modem or a UPS, which a probe would write
// into; VOSTREL_SYSTEM_SERIAL_PORTS=off keeps a search to the ports added by path.
bool SearchesSystemPorts()
{
    const char* setting = std::getenv("VOSTREL_SYSTEM_SERIAL_PORTS");
    return !setting || std::strcmp(setting, "off") != 0;
}

bool TimeLeft(const Clock::time_point& deadline)
{
    return Clock::now() < deadline;
}

// Opens `port` at `rate` for probing; 0 when it cannot be opened.
HBDS_HANDLE OpenForProbes(uint32_t port, uint32_t rate, SerialSettings& settings)
{
    settings = SerialSettings{};
    settings.port = port;
    settings.baudRate = rate;
    settings.dataBits = 8;
    HBDS_HANDLE handle = hbds_create();
    uint32_t status = 0;
    if (handle != 0 && hbds_open_com(handle, &settings, &status))
        return handle;
    hbds_destory(handle);
    logout_line(5, "Enumeration.cpp", __LINE__, "port %u cannot be opened: status %u", port, status);
    return 0;
}

// The port is opened once and only its rate changes between probes: an open can cost
// seconds (a network port that is slow to accept), and a port that cannot be opened
// has no scanner to find at any rate.
uint32_t DetectRate(uint32_t port, int timeoutMs)
{
    SerialSettings settings;
    const HBDS_HANDLE handle = OpenForProbes(port, kProbeRates[0], settings);
    if (handle == 0)
        return 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kDetectionBudgetMs);
    uint32_t found = 0;
    bool lateAnswer = false;
    for (uint32_t rate : kProbeRates) {
        if (!TimeLeft(deadline))
            break;  // a line whose every rate change is slow (a network port) is given up too
        const EProbe probe = ProbeAt(handle, settings, rate, timeoutMs);
        if (probe == EProbe::Answered) {
            found = rate;
            break;
        }
        lateAnswer = lateAnswer || probe == EProbe::LateAnswer;
    }
    if (found == 0 && lateAnswer) {
        // Something answered, but too slowly for the sweep: once more, with the wait a
        // slow scanner needs, for as long as the port's time lasts.
        logout_line(5, "Enumeration.cpp", __LINE__, "port %u answers late; probing again slowly", port);
        for (uint32_t rate : kProbeRates) {
            if (!TimeLeft(deadline))
                break;
            if (ProbeAt(handle, settings, rate, std::max(timeoutMs, kSlowScannerWaitMs)) == EProbe::Answered) {
                found = rate;
                break;
            }
        }
    }
    hbds_destory(handle);
    return found;
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
    std::vector<std::string> paths = SearchesSystemPorts() ? hbds::ListSystemSerialPorts() : std::vector<std::string>();
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

int hbds_probe_serial_rate(uint32_t port, uint32_t baudRate, int timeoutMs)
{
    SerialSettings settings;
    const HBDS_HANDLE handle = OpenForProbes(port, baudRate, settings);
    if (handle == 0)
        return 0;
    // One rate on a connection of its own: no earlier probe can answer late here, so one
    // answer is enough; a slow scanner gets a second, longer chance.
    const bool answered = ProbeOnce(handle, baudRate, timeoutMs) ||
                          ProbeOnce(handle, baudRate, std::max(timeoutMs, kSlowScannerWaitMs));
    hbds_destory(handle);
    logout_line(5, "Enumeration.cpp", __LINE__, "port %u %s at %u", port, answered ? "answers" : "is silent", baudRate);
    return answered ? 1 : 0;
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
