// Builds firmware files in the format of hbds_firmware.h from parts: the kernel
// information record first, then the parts back to back, sealed with their CRCs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SFirmwarePart {
    uint32_t kind = 0;  // HBDS_FW_PART_*
    std::vector<uint8_t> bytes;
};

struct SFirmwareContents {
    std::string deviceName;  // the product name the file is for, at most 63 bytes
    std::string version;     // e.g. "V2.00.001", at most 31 bytes
    uint32_t type = 2;       // processor type
    std::vector<SFirmwarePart> parts;
    std::vector<std::string> inputs;  // the files parts were read from, never to be written over
};

// The whole file; empty with `error` set when the description cannot make one.
std::vector<uint8_t> BuildFirmwareImage(const SFirmwareContents& contents, std::string& error);

// The kind of a part named "boot", "kernel", "config" or "application" (or 1 to 4); 0 otherwise.
uint32_t PartKindFromName(const std::string& name);

// `size` bytes that look like firmware and differ with `seed`, so that a damaged
// download cannot pass its check by chance.
std::vector<uint8_t> SampleFirmwareBytes(size_t size, uint32_t seed);

// Writes the file, replacing it only once it is complete; false with `error`.
bool WriteFirmwareFile(const std::string& path, const std::vector<uint8_t>& image, std::string& error);
