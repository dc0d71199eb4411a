// The firmware file format and the packets of the download protocol (hbds_firmware.h).
#include "hbds_firmware.h"

#include <zlib.h>

#include <cstring>

namespace {

const char kMagic[4] = {'H', 'B', 'F', 'W'};
const uint32_t kFormatVersion = 1;
const size_t kHeaderLength = 7;  // 0x1B, direction, type, sequence, length
const uint8_t kPacketStart = 0x1B;

uint32_t ReadLe32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void WriteLe32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t ReadLe16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

// The CRC that closes the file covers everything but its own four bytes.
uint32_t FileCrc(const uint8_t* data, size_t size)
{
    const size_t crcAt = offsetof(HbdsKernelInfo, fileCrc32);
    uint32_t crc = hbds_fw_crc32(0, data, crcAt);
    return hbds_fw_crc32(crc, data + HBDS_KERNEL_INFO_SIZE, size - HBDS_KERNEL_INFO_SIZE);
}

bool PartsAreSound(const HbdsKernelInfo& info, const uint8_t* data, size_t size)
{
    uint64_t expectedOffset = HBDS_KERNEL_INFO_SIZE;
    for (uint32_t i = 0; i < info.partCount; ++i) {
        const HbdsFirmwarePart& part = info.parts[i];
        // Blocks are numbered with 16 bits, which bounds a part.
        if (part.offset != expectedOffset || part.length == 0 || part.offset + uint64_t(part.length) > size ||
            part.length > 65536u * HBDS_FW_BLOCK_SIZE)
            return false;
        if (hbds_fw_crc32(0, data + part.offset, part.length) != part.crc32)
            return false;
        expectedOffset += part.length;
    }
    return expectedOffset == size;
}

}  // namespace

extern "C" {

uint32_t hbds_fw_crc32(uint32_t crc, const uint8_t* data, size_t size)
{
    // zlib's crc32 takes at most a uInt per call.
    uLong value = crc;
    while (size > 0) {
        const uInt chunk = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
        value = crc32(value, data, chunk);
        data += chunk;
        size -= chunk;
    }
    return static_cast<uint32_t>(value);
}

int hbds_fw_check_image(const uint8_t* data, size_t size, HbdsKernelInfo* info)
{
    if (!data || size <= HBDS_KERNEL_INFO_SIZE)
        return 0;
    HbdsKernelInfo record;
    std::memcpy(&record, data, sizeof record);
    if (std::memcmp(record.magic, kMagic, sizeof kMagic) != 0 || record.formatVersion != kFormatVersion)
        return 0;
    if (record.partCount == 0 || record.partCount > HBDS_FW_MAX_PARTS || record.fileLength != size)
        return 0;
    if (std::memchr(record.deviceName, 0, sizeof record.deviceName) == nullptr ||
        std::memchr(record.version, 0, sizeof record.version) == nullptr)
        return 0;
    if (!PartsAreSound(record, data, size) || FileCrc(data, size) != record.fileCrc32)
        return 0;
    if (info)
        *info = record;
    return 1;
}

void hbds_fw_seal_image(uint8_t* data, size_t size)
{
    if (!data || size <= HBDS_KERNEL_INFO_SIZE)
        return;
    HbdsKernelInfo record;
    std::memcpy(&record, data, sizeof record);
    std::memcpy(record.magic, kMagic, sizeof kMagic);
    record.formatVersion = kFormatVersion;
    record.fileLength = static_cast<uint32_t>(size);
    for (uint32_t i = 0; i < record.partCount && i < HBDS_FW_MAX_PARTS; ++i) {
        HbdsFirmwarePart& part = record.parts[i];
        if (part.offset + uint64_t(part.length) <= size)
            part.crc32 = hbds_fw_crc32(0, data + part.offset, part.length);
    }
    std::memcpy(data, &record, sizeof record);
    WriteLe32(data + offsetof(HbdsKernelInfo, fileCrc32), FileCrc(data, size));
}

size_t hbds_fw_encode(uint8_t* out, char direction, char type, uint16_t sequence, const uint8_t* payload,
                      uint16_t payloadLength)
{
    out[0] = kPacketStart;
    out[1] = static_cast<uint8_t>(direction);
    out[2] = static_cast<uint8_t>(type);
    out[3] = static_cast<uint8_t>(sequence);
    out[4] = static_cast<uint8_t>(sequence >> 8);
    out[5] = static_cast<uint8_t>(payloadLength);
    out[6] = static_cast<uint8_t>(payloadLength >> 8);
    if (payloadLength > 0)
        std::memcpy(out + kHeaderLength, payload, payloadLength);
    WriteLe32(out + kHeaderLength + payloadLength, hbds_fw_crc32(0, out + 2, 5u + payloadLength));
    return kHeaderLength + payloadLength + 4;
}

long hbds_fw_decode(const uint8_t* data, size_t size, char direction, char* type, uint16_t* sequence,
                    const uint8_t** payload, uint16_t* payloadLength)
{
    if (size == 0)
        return 0;
    if (data[0] != kPacketStart || (size > 1 && data[1] != static_cast<uint8_t>(direction)))
        return -1;
    if (size < kHeaderLength)
        return 0;
    const uint16_t length = ReadLe16(data + 5);
    const size_t whole = kHeaderLength + length + 4;
    if (size < whole)
        return 0;
    *type = static_cast<char>(data[2]);
    *sequence = ReadLe16(data + 3);
    *payloadLength = length;
    const bool sound = hbds_fw_crc32(0, data + 2, 5u + length) == ReadLe32(data + kHeaderLength + length);
    *payload = sound ? data + kHeaderLength : nullptr;
    return static_cast<long>(whole);
}

}  // extern "C"
