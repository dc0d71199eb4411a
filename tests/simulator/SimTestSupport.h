// Shared by the simulator tests: the fixture model and frames written out in full.
#pragma once

#include "SimulatedScanner.h"

#include <memory>
#include <string>

inline std::string FixtureModelPath()
{
    return std::string(VOSTREL_SIM_TEST_DATA) + "/SimTestModel.xml";
}

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
