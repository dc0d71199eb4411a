// Who the simulated scanner says it is, and the line rate it listens at.
#pragma once

#include <cstdint>
#include <string>

struct SSimScannerProfile {
    std::string productName = "HBS-HI880";
    std::string serialNumber = "SIM00000001";
    std::string systemInfo = "Hardware: V1.0\r\nFirmware: V1.00.001";  // the version on the second line
    std::string baseSystemInfo = "Kernel: V1.0.0";  // the BASQSY answer
    std::string decoderInfo = "Decoder: SIM-D1";    // the QRYDCV answer
    uint32_t bufferSize = 1024;                     // the BUFQRY answer
    uint32_t baudRate = 9600;                       // bytes at any other rate arrive garbled
};
