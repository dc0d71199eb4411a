// Shared by the simulator tests: the fixture model and frames written out in full.
#pragma once

#include "hbds/hbds.h"
#include "simulator/SimulatedScanner.h"

#include <cstdint>
#include <memory>
#include <string>

inline std::string FixtureModelPath()
{
    return std::string(VOSTREL_SIM_TEST_DATA) + "/SimTestModel.xml";
}

// What every reply frame starts with.
const std::string kHead = std::string("\x02\x01") + "0000";

// "~" 0x01 "0000" + packed + ";" 0x03, as the tool frames a request.
inline std::string Request(const std::string& packed)
{
    return std::string("~\x01") + "0000" + packed + ";\x03";
}

inline SSimScannerProfile TestProfile(uint32_t baudRate = 9600)
{
    SSimScannerProfile profile;
    profile.productName = "HBS-T100";
    profile.serialNumber = "SN0042";
    profile.systemInfo = "Firmware: V2.1";
    profile.baudRate = baudRate;
    return profile;
}

inline std::unique_ptr<CSimulatedScanner> FixtureScanner(uint32_t baudRate = 9600)
{
    std::string error;
    return CSimulatedScanner::FromModelFile(FixtureModelPath(), TestProfile(baudRate), error);
}

// The serial line of a simulated port, 8 data bits.
inline SerialSettings Line(uint32_t port, uint32_t baudRate)
{
    SerialSettings settings{};
    settings.port = port;
    settings.baudRate = baudRate;
    settings.dataBits = 8;
    return settings;
}

// A link of the device-link library, driven through its C operations as the tool drives one.
class CLink {
public:
    CLink() : m_handle(hbds_create()) {}
    ~CLink() { hbds_destory(m_handle); }

    bool Open(uint32_t port, uint32_t baudRate)
    {
        const SerialSettings settings = Line(port, baudRate);
        return hbds_open_com(m_handle, &settings, &m_status) != 0;
    }
    int Write(const std::string& bytes)
    {
        return hbds_write(m_handle, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    }
    std::string Read(int timeoutMs = 1000)
    {
        uint8_t buffer[4096];
        static const uint8_t kTerminator[] = {';', 0x03};
        const int got = hbds_read_until(m_handle, buffer, sizeof buffer, timeoutMs, -2, kTerminator, 2, &m_status);
        return std::string(reinterpret_cast<char*>(buffer), static_cast<size_t>(got > 0 ? got : 0));
    }
    std::string Exchange(const std::string& packed)
    {
        Write(Request(packed));
        return Read();
    }
    uint32_t Status() const { return m_status; }
    HBDS_HANDLE Handle() const { return m_handle; }

private:
    HBDS_HANDLE m_handle;
    uint32_t m_status = 0;
};
