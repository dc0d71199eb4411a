// Connection handles and the byte-stream operations on them.
#include "hbds.h"

#include "Deadline.h"
#include "HidTransport.h"
#include "NetworkTransport.h"
#include "PortTable.h"
#include "SerialTransport.h"
#include "VirtualTransport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using hbds::Clock;
using hbds::RemainingMs;
using hbds::SetStatus;

// A connection is used by one thread at a time, except that another thread may
// close it while a read waits: that is how a read in progress is cancelled. The
// transport is therefore shared with the reads using it and guarded, and a read
// waits in short slices so that it notices a close quickly.
struct SConnection {
    std::mutex guard;
    std::shared_ptr<hbds::CTransport> transport;
    bool isSerial = false;
    // Bytes that arrived after a terminator; the next read starts with them.
    std::vector<uint8_t> leftover;
};

constexpr int kCloseCheckMs = 50;

std::shared_ptr<hbds::CTransport> TransportOf(SConnection& connection)
{
    std::lock_guard<std::mutex> lock(connection.guard);
    return connection.transport;
}

void SetTransport(SConnection& connection, std::shared_ptr<hbds::CTransport> transport, bool isSerial)
{
    std::lock_guard<std::mutex> lock(connection.guard);
    connection.transport = std::move(transport);
    connection.isSerial = isSerial;
    connection.leftover.clear();
}

// The handle table; it is shared and locked.
struct SHandleTable {
    std::mutex mutex;
    std::map<HBDS_HANDLE, std::shared_ptr<SConnection>> connections;
    HBDS_HANDLE nextHandle = 1;
};

// Never destroyed: a scanner entry still holding a handle when the process's
// statics are torn down frees it through this table.
SHandleTable& Handles()
{
    static SHandleTable* const table = new SHandleTable();
    return *table;
}

std::shared_ptr<SConnection> Find(HBDS_HANDLE handle)
{
    SHandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.connections.find(handle);
    return it == table.connections.end() ? nullptr : it->second;
}

// The end of the first terminator within data[0, length) that ends at or after
// `from`, or 0 when there is none.
size_t FindTerminatorEnd(const uint8_t* data, size_t length, size_t from, const uint8_t* terminator,
                         size_t terminatorLength)
{
    if (!terminator || terminatorLength == 0)
        return 0;
    size_t start = from >= terminatorLength ? from - terminatorLength + 1 : 0;
    for (size_t i = start; i + terminatorLength <= length; ++i) {
        if (std::memcmp(data + i, terminator, terminatorLength) == 0)
            return i + terminatorLength;
    }
    return 0;
}

// Hands out bytes kept from an earlier read before the line is asked again.
uint32_t TakeLeftover(SConnection& connection, uint8_t* buffer, uint32_t size)
{
    std::lock_guard<std::mutex> lock(connection.guard);
    const uint32_t take = std::min<uint32_t>(size, static_cast<uint32_t>(connection.leftover.size()));
    std::copy_n(connection.leftover.begin(), take, buffer);
    connection.leftover.erase(connection.leftover.begin(), connection.leftover.begin() + take);
    return take;
}

}  // namespace

double hbds::LineByteMs(HBDS_HANDLE handle)
{
    auto connection = Find(handle);
    auto transport = connection ? TransportOf(*connection) : nullptr;
    // The quiet gap is twenty character times, or more on fast lines.
    return transport ? transport->QuietGapMs() / 20.0 : 0.0;
}

extern "C" {

HBDS_HANDLE hbds_create(void)
{
    SHandleTable& table = Handles();
    std::lock_guard<std::mutex> lock(table.mutex);
    HBDS_HANDLE handle = table.nextHandle++;
    if (table.nextHandle == 0)
        table.nextHandle = 1;
    table.connections[handle] = std::make_shared<SConnection>();
    return handle;
}

int hbds_open_com(HBDS_HANDLE handle, const SerialSettings* settings, uint32_t* status)
{
    auto connection = Find(handle);
    if (!connection) {
        SetStatus(status, HBDS_ERR_NOT_INITIAL);
        return 0;
    }
    if (TransportOf(*connection)) {
        SetStatus(status, HBDS_ERR_ALREADY_OPEN);
        return 0;
    }
    std::string path;
    if (!settings || !hbds::PathForPortNumber(settings->port, path)) {
        SetStatus(status, settings ? HBDS_ERR_NOT_EXIST : HBDS_ERR_INVALID_PARAMS);
        return 0;
    }
    uint32_t result = HBDS_OK;
    std::shared_ptr<hbds::CTransport> transport;
    if (hbds::IsVirtualPort(path))
        transport = hbds::OpenVirtualTransport(path, *settings, result);
    else if (hbds::IsNetworkPort(path))
        transport = hbds::OpenNetworkTransport(path, *settings, result);
    else
        transport = hbds::OpenSerialTransport(path, *settings, result);
    SetStatus(status, result);
    if (!transport) {
        logout_line(4, "Connections.cpp", __LINE__, "open %s failed, status %u", path.c_str(), result);
        return 0;
    }
    SetTransport(*connection, std::move(transport), true);
    return 1;
}

int hbds_open_usb(HBDS_HANDLE handle, const UsbDeviceInfo* device, int mode, uint32_t* status)
{
    (void)mode;  // 3: shared read and write, the only mode there is here
    auto connection = Find(handle);
    if (!connection) {
        SetStatus(status, HBDS_ERR_NOT_INITIAL);
        return 0;
    }
    if (TransportOf(*connection)) {
        SetStatus(status, HBDS_ERR_ALREADY_OPEN);
        return 0;
    }
    if (!device) {
        SetStatus(status, HBDS_ERR_INVALID_PARAMS);
        return 0;
    }
    if (device->interfaceKind == HBDS_USB_DATA_PIPE) {
        // Vendor data pipes need the maker's kernel driver, which this build has not.
        SetStatus(status, HBDS_ERR_NOT_CHANGE_MI);
        return 0;
    }
    uint32_t result = HBDS_OK;
    std::shared_ptr<hbds::CTransport> transport = hbds::OpenHidTransport(*device, result);
    SetStatus(status, result);
    if (!transport)
        return 0;
    SetTransport(*connection, std::move(transport), false);
    return 1;
}

int hbds_is_open(HBDS_HANDLE handle)
{
    auto connection = Find(handle);
    return connection && TransportOf(*connection) ? 1 : 0;
}

int hbds_close(HBDS_HANDLE handle)
{
    auto connection = Find(handle);
    if (!connection)
        return 0;
    SetTransport(*connection, nullptr, connection->isSerial);
    return 1;
}

int hbds_destory(HBDS_HANDLE handle)
{
    std::shared_ptr<SConnection> connection;
    {
        SHandleTable& table = Handles();
        std::lock_guard<std::mutex> lock(table.mutex);
        auto it = table.connections.find(handle);
        if (it == table.connections.end())
            return 0;
        connection = it->second;
        table.connections.erase(it);
    }
    SetTransport(*connection, nullptr, false);
    return 1;
}

int hbds_clean(HBDS_HANDLE handle, int which)
{
    (void)which;  // 0: input; output is never held back here
    auto connection = Find(handle);
    auto transport = connection ? TransportOf(*connection) : nullptr;
    if (!transport)
        return 0;
    transport->DropInput();
    std::lock_guard<std::mutex> lock(connection->guard);
    connection->leftover.clear();
    return 1;
}

int hbds_write(HBDS_HANDLE handle, const uint8_t* data, uint32_t count)
{
    auto connection = Find(handle);
    auto transport = connection ? TransportOf(*connection) : nullptr;
    if (!transport || !data)
        return 0;
    uint32_t status = HBDS_OK;
    const uint32_t written = transport->Write(data, count, status);
    if (status != HBDS_OK)
        logout_line(4, "Connections.cpp", __LINE__, "write failed after %u of %u bytes, status %u", written,
                    count, status);
    return static_cast<int>(written);
}

int hbds_read_until(HBDS_HANDLE handle, uint8_t* buffer, uint32_t size, int timeoutMs, int mode,
                    const uint8_t* terminator, uint32_t terminatorLength, uint32_t* status)
{
    (void)mode;
    auto connection = Find(handle);
    const auto held = connection ? TransportOf(*connection) : nullptr;
    if (!held) {
        SetStatus(status, connection ? HBDS_ERR_NOT_OPEN : HBDS_ERR_NOT_INITIAL);
        return 0;
    }
    if (!buffer || size == 0) {
        SetStatus(status, HBDS_ERR_INVALID_PARAMS);
        return 0;
    }
    hbds::CTransport& transport = *held;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    SetStatus(status, HBDS_OK);
    uint32_t received = TakeLeftover(*connection, buffer, size);
    size_t end = FindTerminatorEnd(buffer, received, 0, terminator, terminatorLength);
    Clock::time_point lastByte = Clock::now();
    while (end == 0 && received < size) {
        if (TransportOf(*connection) != held) {
            SetStatus(status, HBDS_ERR_NOT_OPEN);
            break;  // closed by another thread while waiting
        }
        // Before the first byte the whole time-out applies; after it, a quiet line
        // ends the read so that a reply without terminator does not wait it out.
        const Clock::time_point until =
            received > 0 ? std::min(deadline, lastByte + std::chrono::milliseconds(transport.QuietGapMs())) : deadline;
        uint32_t result = HBDS_OK;
        const int got = transport.ReadSome(buffer + received, size - received,
                                           std::min(RemainingMs(until), kCloseCheckMs), result);
        if (got < 0) {
            SetStatus(status, result);
            logout_line(4, "Connections.cpp", __LINE__, "read failed, status %u", result);
            break;
        }
        if (got == 0) {
            if (RemainingMs(until) == 0)
                break;
            continue;
        }
        lastByte = Clock::now();
        const uint32_t before = received;
        received += static_cast<uint32_t>(got);
        end = FindTerminatorEnd(buffer, received, before, terminator, terminatorLength);
    }
    if (end != 0 && end < received) {
        // Keep what came after the terminator for the next read.
        std::lock_guard<std::mutex> lock(connection->guard);
        connection->leftover.insert(connection->leftover.begin(), buffer + end, buffer + received);
        received = static_cast<uint32_t>(end);
    }
    return static_cast<int>(received);
}

int hbds_change_serial_settings(HBDS_HANDLE handle, const SerialSettings* settings)
{
    auto connection = Find(handle);
    auto transport = connection ? TransportOf(*connection) : nullptr;
    if (!transport || !connection->isSerial || !settings)
        return 0;
    uint32_t status = HBDS_OK;
    return transport->Reconfigure(*settings, status) ? 1 : 0;
}

}  // extern "C"
