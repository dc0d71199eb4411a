/*
 * Firmware files and their download: the file format, the progress record the
 * download fills, and the packets of the download protocol. hbds.h declares the two
 * operations the program calls (hbds_get_kernel_info, hbds_update_firmware_file_1);
 * this header describes what they read, write and send, so that a scanner (or the
 * simulator) and the tool that builds files (vostrel-fwpack) can speak the same.
 *
 * All numbers are little-endian 32-bit unless said otherwise.
 *
 * File: a kernel-information record of 2784 bytes, then the data of each part, the
 * parts back to back in table order.
 *   offset    0  "HBFW"
 *   offset    4  format version (1)
 *   offset    8  processor type (1 to 5 name processor families; 0 = any)
 *   offset   12  device name, NUL-terminated narrow text (64 bytes)
 *   offset   76  firmware version text, NUL-terminated (32 bytes), e.g. "V2.00.001"
 *   offset  108  part count, 1 to 16
 *   offset  112  part table, 16 entries of {kind, offset in file, length, CRC-32}
 *   offset 2776  file length
 *   offset 2780  CRC-32 of the whole file except these last four bytes of the record
 * Part kinds: 1 boot, 2 kernel, 3 configuration, 4 application. A part holds at most
 * 64 MB (65536 blocks).
 *
 * Progress record (84 bytes, zeroed by the download before it starts):
 *   offset 0..12  percent of steps 0 to 3 of the current part
 *   offset 16     current step: 0 probing, 1 setting parameters, 2 sending data,
 *                 3 waiting for the device to update (verify, and after the last
 *                 part the commit and the restart)
 *   offset 20     data blocks sent in all (the library's own)
 *   offset 24     index of the part now being written
 *   offset 28     blocks sent again after a time-out or a refusal (the library's own)
 *   offset 32     part count (the library's own)
 *   offset 36     one byte per part: its kind
 *
 * Download protocol, one packet at a time, each answered before the next goes:
 *   packet  = 0x1B, direction ('F' tool to scanner, 'f' scanner to tool), type,
 *             sequence (16 bits), payload length (16 bits), payload, CRC-32 of
 *             type, sequence, length and payload (32 bits)
 *   answers carry the type and sequence of their request; payload byte 0 is the
 *   answer status (HBDS_FW_ANSWER_*), the rest depends on the type.
 *   'P' probe:   no payload. Answer: device name NUL, firmware version NUL, and
 *                "B" when the scanner is in its boot mode (it then accepts only a
 *                download), otherwise "N".
 *   'S' set up a part: the file's kernel-information record, then the part index.
 *   'D' data block: sequence = block number within the part, up to 1024 bytes.
 *   'V' verify the part just sent: sequence = part index.
 *   'E' end: the file's CRC-32. Answered before the scanner restarts; it is silent
 *       for a moment and then answers probes with the new version.
 * A packet that is not answered in time, or answered "resend", goes again.
 */
#ifndef HBDS_FIRMWARE_H
#define HBDS_FIRMWARE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HBDS_KERNEL_INFO_SIZE 2784
#define HBDS_PROGRESS_SIZE 84
#define HBDS_FW_MAX_PARTS 16
#define HBDS_FW_BLOCK_SIZE 1024
#define HBDS_FW_PACKET_OVERHEAD 11 /* 0x1B, direction, type, sequence, length, CRC */

enum {
    HBDS_FW_PART_BOOT = 1,
    HBDS_FW_PART_KERNEL = 2,
    HBDS_FW_PART_CONFIG = 3,
    HBDS_FW_PART_APPLICATION = 4
};

enum {
    HBDS_FW_ANSWER_OK = 0,
    HBDS_FW_ANSWER_RESEND = 1,  /* the packet arrived damaged */
    HBDS_FW_ANSWER_REFUSED = 2, /* the scanner will not take this (no set-up, wrong part) */
    HBDS_FW_ANSWER_FAILED = 3   /* a part or the whole failed its check */
};

#pragma pack(push, 1)

typedef struct HbdsFirmwarePart {
    uint32_t kind;
    uint32_t offset;
    uint32_t length;
    uint32_t crc32;
} HbdsFirmwarePart;

typedef struct HbdsKernelInfo {
    char magic[4];
    uint32_t formatVersion;
    uint32_t type;
    char deviceName[64];
    char version[32];
    uint32_t partCount;
    HbdsFirmwarePart parts[HBDS_FW_MAX_PARTS];
    uint8_t reserved[HBDS_KERNEL_INFO_SIZE - 368 - 8];
    uint32_t fileLength;
    uint32_t fileCrc32;
} HbdsKernelInfo;

typedef struct HbdsFirmwareProgress {
    uint32_t stepPercent[4];
    uint32_t step;
    uint32_t blocksSent;
    uint32_t part;
    uint32_t resends;
    uint32_t partCount;
    uint8_t partKinds[HBDS_PROGRESS_SIZE - 36];
} HbdsFirmwareProgress;

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(HbdsKernelInfo) == HBDS_KERNEL_INFO_SIZE, "kernel information is 2784 bytes");
static_assert(offsetof(HbdsKernelInfo, type) == 8, "the type is at byte 8");
static_assert(offsetof(HbdsKernelInfo, deviceName) == 12, "the device name is at byte 12");
static_assert(sizeof(HbdsFirmwareProgress) == HBDS_PROGRESS_SIZE, "the progress record is 84 bytes");
static_assert(offsetof(HbdsFirmwareProgress, part) == 24, "the part index is at byte 24");
static_assert(offsetof(HbdsFirmwareProgress, partKinds) == 36, "the part kinds start at byte 36");
#endif

/* CRC-32 (the zip polynomial) of `size` bytes, continuing from `crc` (0 to start). */
uint32_t hbds_fw_crc32(uint32_t crc, const uint8_t* data, size_t size);

/*
 * Checks a whole firmware image in memory: magic, version, part table inside the
 * file and back to back, every part's CRC, the length and the file's CRC. Copies the
 * record into `info` (may be NULL) when the image is sound; returns non-zero then.
 */
int hbds_fw_check_image(const uint8_t* data, size_t size, HbdsKernelInfo* info);

/* Seals a record whose parts and file length are filled in: computes the part CRCs
 * and the file CRC over `data` (the whole file, record first). */
void hbds_fw_seal_image(uint8_t* data, size_t size);

/*
 * Packets. hbds_fw_encode writes one packet into `out` (room for payloadLength +
 * HBDS_FW_PACKET_OVERHEAD bytes) and returns its length. hbds_fw_decode looks for
 * one packet of `direction` at the start of `data`: returns its whole length with
 * the fields filled in (the payload points into `data`), 0 when more bytes are
 * needed, or -1 when the first bytes cannot start such a packet (the caller drops
 * one byte and looks again). A whole packet with a wrong CRC gives its length with
 * `*payload` NULL, so that the receiver can ask for it again.
 */
size_t hbds_fw_encode(uint8_t* out, char direction, char type, uint16_t sequence, const uint8_t* payload,
                      uint16_t payloadLength);
long hbds_fw_decode(const uint8_t* data, size_t size, char direction, char* type, uint16_t* sequence,
                    const uint8_t** payload, uint16_t* payloadLength);

#ifdef __cplusplus
}
#endif

#endif /* HBDS_FIRMWARE_H */
