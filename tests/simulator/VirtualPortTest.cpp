// The registration rules of virtual ports in the device-link library, with a bare
// echoing device instead of the simulator.
#include "hbds/hbds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct SEchoDevice {
    std::string pending;
    uint32_t lastRate = 0;
};

void EchoReceive(void* context, const uint8_t* data, uint32_t count)
{
    static_cast<SEchoDevice*>(context)->pending.append(reinterpret_cast<const char*>(data), count);
}

int EchoSend(void* context, uint8_t* buffer, uint32_t size, int)
{
    std::string& pending = static_cast<SEchoDevice*>(context)->pending;
    const uint32_t count = std::min<uint32_t>(size, static_cast<uint32_t>(pending.size()));
    pending.copy(reinterpret_cast<char*>(buffer), count);
    pending.erase(0, count);
    return static_cast<int>(count);
}

void EchoLine(void* context, const SerialSettings* settings)
{
    static_cast<SEchoDevice*>(context)->lastRate = settings->baudRate;
}

HbdsVirtualDevice Echo(SEchoDevice& device)
{
    return HbdsVirtualDevice{&device, &EchoReceive, &EchoSend, &EchoLine, nullptr};
}

TEST(VirtualPortTest, Add_RefusesEmptyNamesIncompleteDevicesAndTakenNames)
{
    SEchoDevice device;
    HbdsVirtualDevice record = Echo(device);
    EXPECT_EQ(0u, hbds_add_virtual_port("", &record));
    EXPECT_EQ(0u, hbds_add_virtual_port(nullptr, &record));
    EXPECT_EQ(0u, hbds_add_virtual_port("vp:nodevice", nullptr));
    HbdsVirtualDevice noSend = record;
    noSend.send = nullptr;
    EXPECT_EQ(0u, hbds_add_virtual_port("vp:nosend", &noSend));

    const uint32_t port = hbds_add_virtual_port("vp:taken", &record);
    ASSERT_NE(0u, port);
    EXPECT_EQ(0u, hbds_add_virtual_port("vp:taken", &record));
    hbds_remove_virtual_port(port);
    EXPECT_EQ(port, hbds_add_virtual_port("vp:taken", &record));
    hbds_remove_virtual_port(port);
    hbds_remove_virtual_port(port);  // a second removal is harmless
}

TEST(VirtualPortTest, Connection_CarriesBytesBothWaysAndReportsLineChanges)
{
    SEchoDevice device;
    const HbdsVirtualDevice record = Echo(device);
    const uint32_t port = hbds_add_virtual_port("vp:echo", &record);
    ASSERT_NE(0u, port);
    HBDS_HANDLE handle = hbds_create();
    SerialSettings settings{port, 38400, 8, 0, 0, 0};
    uint32_t status = 99;
    ASSERT_TRUE(hbds_open_com(handle, &settings, &status));
    EXPECT_EQ(0u, status);
    EXPECT_EQ(38400u, device.lastRate);

    const uint8_t frame[] = {'a', 'b', ';', 0x03, 'z'};
    ASSERT_EQ(5, hbds_write(handle, frame, 5));
    uint8_t buffer[16] = {};
    const uint8_t terminator[] = {';', 0x03};
    ASSERT_EQ(4, hbds_read_until(handle, buffer, sizeof buffer, 200, -2, terminator, 2, &status));
    EXPECT_EQ(0, std::memcmp(buffer, "ab;\x03", 4));

    settings.baudRate = 115200;
    EXPECT_TRUE(hbds_change_serial_settings(handle, &settings));
    EXPECT_EQ(115200u, device.lastRate);
    hbds_destory(handle);
    hbds_remove_virtual_port(port);
}

}  // namespace
