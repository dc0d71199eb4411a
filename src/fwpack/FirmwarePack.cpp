#include "FirmwarePack.h"

#include "app/SafeFile.h"
#include "hbds/hbds_firmware.h"

#include <cstdio>
#include <cstring>
#include <random>

std::vector<uint8_t> BuildFirmwareImage(const SFirmwareContents& contents, std::string& error)
{
    if (contents.deviceName.empty() || contents.deviceName.size() >= sizeof(HbdsKernelInfo::deviceName)) {
        error = "the device name must have 1 to 63 bytes";
        return {};
    }
    if (contents.version.empty() || contents.version.size() >= sizeof(HbdsKernelInfo::version)) {
        error = "the version must have 1 to 31 bytes";
        return {};
    }
    if (contents.parts.empty() || contents.parts.size() > HBDS_FW_MAX_PARTS) {
        error = "a firmware file has 1 to 16 parts";
        return {};
    }
    HbdsKernelInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = contents.type;
    std::memcpy(info.deviceName, contents.deviceName.data(), contents.deviceName.size());
    std::memcpy(info.version, contents.version.data(), contents.version.size());
    info.partCount = static_cast<uint32_t>(contents.parts.size());
    std::vector<uint8_t> image(HBDS_KERNEL_INFO_SIZE);
    for (size_t i = 0; i < contents.parts.size(); ++i) {
        if (contents.parts[i].bytes.empty()) {
            error = "part " + std::to_string(i + 1) + " is empty";
            return {};
        }
        info.parts[i].kind = contents.parts[i].kind;
        info.parts[i].offset = static_cast<uint32_t>(image.size());
        info.parts[i].length = static_cast<uint32_t>(contents.parts[i].bytes.size());
        image.insert(image.end(), contents.parts[i].bytes.begin(), contents.parts[i].bytes.end());
    }
    std::memcpy(image.data(), &info, sizeof info);
    hbds_fw_seal_image(image.data(), image.size());
    return image;
}

uint32_t PartKindFromName(const std::string& name)
{
    const char* const names[] = {"boot", "kernel", "config", "application"};
    for (uint32_t kind = 1; kind <= 4; ++kind) {
        if (name == names[kind - 1] || name == std::to_string(kind))
            return kind;
    }
    return 0;
}

std::vector<uint8_t> SampleFirmwareBytes(size_t size, uint32_t seed)
{
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes)
        byte = static_cast<uint8_t>(generator());
    return bytes;
}

bool WriteFirmwareFile(const std::string& path, const std::vector<uint8_t>& image, std::string& error)
{
    return WriteFileSafely(path, std::string(image.begin(), image.end()), error);
}
