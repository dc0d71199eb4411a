// Firmware download over an open connection, in the protocol of hbds_firmware.h: a
// probe, then for every part its set-up, its data blocks and its check, and after the
// last part the end packet and the wait for the restarted scanner.
#include "hbds.h"
#include "hbds_firmware.h"
#include "Deadline.h"
#include "Transport.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using hbds::Clock;
using hbds::RemainingMs;
using hbds::SetStatus;

// A probe is small and a scanner that is there answers at once; three tries tell a
// silent line from a lost byte without keeping the user waiting.
const int kProbeTries = 3;
const int kProbeWaitMs = 500;
// The wait for an answer: the packet and its answer on the wire twice over, and this.
const int kAnswerSlackMs = 500;
// A restarting scanner is silent for a while; it is asked again, once a poll
// interval, until it answers.
const int kRestartWaitMs = 20000;
const int kRestartPollMs = 300;

enum EStep { STEP_PROBE = 0, STEP_SET_UP = 1, STEP_DATA = 2, STEP_UPDATE = 3 };

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        // Nothing near this size is firmware; the bound keeps a wrong pick (a disk
        // image, a device file) from filling memory.
        if (bytes.size() > (256u << 20)) {
            std::fclose(file);
            return false;
        }
    }
    std::fclose(file);
    return true;
}

// The progress record is read by another thread while the download writes it.
void Store(uint32_t& field, uint32_t value)
{
    __atomic_store_n(&field, value, __ATOMIC_RELAXED);
}

// Zeroes the record the way it is written, field by field: a window may be reading
// it from another thread already.
void ClearProgress(HbdsFirmwareProgress& record)
{
    for (uint32_t* field : {&record.stepPercent[0], &record.stepPercent[1], &record.stepPercent[2],
                            &record.stepPercent[3], &record.step, &record.blocksSent, &record.part, &record.resends,
                            &record.partCount})
        Store(*field, 0);
    for (uint8_t& kind : record.partKinds)
        __atomic_store_n(&kind, uint8_t{0}, __ATOMIC_RELAXED);
}

struct SAnswer {
    uint8_t status = 0;
    std::string data;  // payload after the status byte
};

// Who a probe says the scanner is.
struct SIdentity {
    std::string name;
    std::string version;
    bool boot = false;
};

SIdentity IdentityOf(const std::string& data)
{
    SIdentity who;
    const size_t nameEnd = data.find('\0');
    who.name = data.substr(0, nameEnd);
    if (nameEnd == std::string::npos)
        return who;
    const size_t versionEnd = data.find('\0', nameEnd + 1);
    who.version = data.substr(nameEnd + 1, versionEnd == std::string::npos ? std::string::npos : versionEnd - nameEnd - 1);
    who.boot = versionEnd != std::string::npos && data.compare(versionEnd + 1, std::string::npos, "B") == 0;
    return who;
}

class CDownload {
public:
    CDownload(HBDS_HANDLE handle, const std::vector<uint8_t>& image, const HbdsKernelInfo& info, int retries,
              HbdsFirmwareProgress& progress)
        : m_handle(handle), m_image(image), m_info(info), m_retries(retries < 1 ? 1 : retries), m_progress(progress)
    {
    }

    // Returns HBDS_OK or the status code the download failed with.
    uint32_t Run(bool nameCheck)
    {
        for (uint32_t part = 0; part < m_info.partCount; ++part) {
            Store(m_progress.part, part);
            for (uint32_t& percent : m_progress.stepPercent)
                Store(percent, 0);
            if (uint32_t failure = RunPart(part, nameCheck && part == 0))
                return Explain(failure);
        }
        return HBDS_OK;
    }

    // Waits at most `waitMs` for the scanner to answer a probe and says whether it runs
    // the file's version. `endStatus` is how the end packet fared: after an "ok" the
    // scanner may still answer once with the old version before it goes silent.
    uint32_t Settle(uint32_t endStatus, int waitMs)
    {
        const Clock::time_point start = Clock::now();
        uint32_t verdict = HBDS_ERR_COMMUNICATION;
        while (!m_linkGone) {
            const Clock::time_point pollEnd = Clock::now() + std::chrono::milliseconds(kRestartPollMs);
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            if (waited > waitMs)
                return verdict;
            Store(m_progress.stepPercent[STEP_UPDATE], static_cast<uint32_t>(std::min<long long>(99, waited * 100 / 3000)));
            SIdentity who;
            if (Probe(who, kRestartPollMs)) {
                if (!who.boot && who.version == m_info.version)
                    return HBDS_OK;
                verdict = who.boot ? uint32_t(HBDS_ERR_BOOT_MODE)
                                   : (endStatus != HBDS_OK ? endStatus : uint32_t(HBDS_ERR_UPDATE_FAILED));
                if (endStatus != HBDS_OK)
                    return verdict;
            }
            // A line that fails at once must not turn the wait into a busy loop.
            std::this_thread::sleep_until(pollEnd);
        }
        return HBDS_ERR_RESTART_UNSEEN;
    }

private:
    uint32_t RunPart(uint32_t part, bool nameCheck)
    {
        EnterStep(STEP_PROBE);
        SAnswer answer;
        if (!Exchange('P', 0, nullptr, 0, kProbeTries, kProbeWaitMs, answer))
            return HBDS_ERR_COMMUNICATION;
        if (answer.status != HBDS_FW_ANSWER_OK)
            return HBDS_ERR_UPDATE_FAILED;
        const SIdentity who = IdentityOf(answer.data);
        if (nameCheck && std::strcmp(who.name.c_str(), m_info.deviceName) != 0) {
            logout_line(4, "Firmware.cpp", __LINE__, "file for %s, scanner is %s", m_info.deviceName, who.name.c_str());
            return HBDS_ERR_STOPPED;
        }
        FinishStep(STEP_PROBE);

        EnterStep(STEP_SET_UP);
        std::vector<uint8_t> setUp(m_image.begin(), m_image.begin() + HBDS_KERNEL_INFO_SIZE);
        for (int i = 0; i < 4; ++i)
            setUp.push_back(static_cast<uint8_t>(part >> (8 * i)));
        if (uint32_t failure = Send('S', static_cast<uint16_t>(part), setUp.data(), setUp.size()))
            return failure;
        FinishStep(STEP_SET_UP);

        EnterStep(STEP_DATA);
        if (uint32_t failure = SendBlocks(m_info.parts[part]))
            return failure;
        FinishStep(STEP_DATA);

        EnterStep(STEP_UPDATE);
        if (uint32_t failure = Send('V', static_cast<uint16_t>(part), nullptr, 0))
            return failure;
        if (part + 1 == m_info.partCount) {
            if (uint32_t failure = Finish())
                return failure;
        }
        FinishStep(STEP_UPDATE);
        return HBDS_OK;
    }

    uint32_t SendBlocks(const HbdsFirmwarePart& part)
    {
        const uint32_t blocks = (part.length + HBDS_FW_BLOCK_SIZE - 1) / HBDS_FW_BLOCK_SIZE;
        for (uint32_t block = 0; block < blocks; ++block) {
            const uint32_t at = block * HBDS_FW_BLOCK_SIZE;
            const uint32_t size = std::min<uint32_t>(HBDS_FW_BLOCK_SIZE, part.length - at);
            if (uint32_t failure = Send('D', static_cast<uint16_t>(block), m_image.data() + part.offset + at, size))
                return failure;
            Store(m_progress.blocksSent, m_progress.blocksSent + 1);
            Store(m_progress.stepPercent[STEP_DATA], (block + 1) * 100 / blocks);
        }
        return HBDS_OK;
    }

    // The end packet, and the restart it brings. When its answer is lost, the packet
    // sent again reaches the restarted scanner, which has no download to end and
    // refuses it: only the version the scanner then runs tells how the download went.
    uint32_t Finish()
    {
        const uint8_t crc[4] = {static_cast<uint8_t>(m_info.fileCrc32), static_cast<uint8_t>(m_info.fileCrc32 >> 8),
                                static_cast<uint8_t>(m_info.fileCrc32 >> 16),
                                static_cast<uint8_t>(m_info.fileCrc32 >> 24)};
        const uint32_t ended = Send('E', 0, crc, sizeof crc);
        if (ended == HBDS_ERR_UPDATE_FAILED)
            return ended;  // the scanner's own check failed; it keeps running the old firmware
        return Settle(ended, kRestartWaitMs);
    }

    // A download that broke off may have left the scanner in its boot mode (a power
    // loss half-way): the user must hear that the same download rescues it.
    uint32_t Explain(uint32_t failure)
    {
        if ((failure != HBDS_ERR_REFUSED && failure != HBDS_ERR_COMMUNICATION) || m_linkGone)
            return failure;
        SIdentity who;
        return Probe(who, kProbeWaitMs) && who.boot ? uint32_t(HBDS_ERR_BOOT_MODE) : failure;
    }

    bool Probe(SIdentity& who, int waitMs)
    {
        SAnswer answer;
        if (!Exchange('P', 0, nullptr, 0, 1, waitMs, answer) || answer.status != HBDS_FW_ANSWER_OK)
            return false;
        who = IdentityOf(answer.data);
        return true;
    }

    // Sends one packet until it is answered "ok"; the status code of the failure otherwise.
    uint32_t Send(char type, uint16_t sequence, const uint8_t* payload, size_t length)
    {
        SAnswer answer;
        const double wireMs = hbds::LineByteMs(m_handle) * (length + 2 * HBDS_FW_PACKET_OVERHEAD + 64);
        const int waitMs = kAnswerSlackMs + static_cast<int>(2 * wireMs);
        for (int attempt = 0; attempt < m_retries; ++attempt) {
            if (!Exchange(type, sequence, payload, length, 1, waitMs, answer) ||
                answer.status == HBDS_FW_ANSWER_RESEND) {
                if (m_linkGone)
                    break;
                Store(m_progress.resends, m_progress.resends + 1);
                logout_line(4, "Firmware.cpp", __LINE__, "packet %c %u sent again", type, sequence);
                continue;
            }
            if (answer.status == HBDS_FW_ANSWER_OK)
                return HBDS_OK;
            logout_line(2, "Firmware.cpp", __LINE__, "packet %c %u refused with %u", type, sequence, answer.status);
            return answer.status == HBDS_FW_ANSWER_REFUSED ? HBDS_ERR_REFUSED : HBDS_ERR_UPDATE_FAILED;
        }
        return HBDS_ERR_COMMUNICATION;
    }

    // Writes the packet up to `tries` times and waits for its answer each time.
    bool Exchange(char type, uint16_t sequence, const uint8_t* payload, size_t length, int tries, int waitMs,
                  SAnswer& answer)
    {
        std::vector<uint8_t> packet(length + HBDS_FW_PACKET_OVERHEAD);
        packet.resize(hbds_fw_encode(packet.data(), 'F', type, sequence, payload, static_cast<uint16_t>(length)));
        for (int attempt = 0; attempt < tries; ++attempt) {
            hbds_clean(m_handle, 0);
            const int written = hbds_write(m_handle, packet.data(), static_cast<uint32_t>(packet.size()));
            if (written != static_cast<int>(packet.size())) {
                m_linkGone = written <= 0;
                return false;
            }
            if (ReadAnswer(type, sequence, waitMs, answer))
                return true;
        }
        return false;
    }

    bool ReadAnswer(char type, uint16_t sequence, int waitMs, SAnswer& answer)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs);
        std::vector<uint8_t> received;
        uint8_t chunk[HBDS_FW_PACKET_OVERHEAD + 0x10000];
        for (;;) {
            if (TakeAnswer(received, type, sequence, answer))
                return true;
            const int left = RemainingMs(deadline);
            if (left == 0)
                return false;
            // Asking for exactly what the packet still lacks ends the read the moment it
            // is whole, instead of after the line has been quiet for a while.
            uint32_t status = HBDS_OK;
            const int got = hbds_read_until(m_handle, chunk, BytesMissing(received), left, -2,
                                            nullptr, 0, &status);
            if (got <= 0 && status != HBDS_OK) {
                m_linkGone = status == HBDS_ERR_NOT_EXIST || status == HBDS_ERR_NOT_OPEN;
                return false;
            }
            received.insert(received.end(), chunk, chunk + std::max(got, 0));
        }
    }

    // What the packet at the start of `received` lacks to be whole (at least one byte).
    static uint32_t BytesMissing(const std::vector<uint8_t>& received)
    {
        const size_t header = 7;
        if (received.size() < header)
            return static_cast<uint32_t>(header - received.size());
        const size_t whole = header + (received[5] | received[6] << 8) + 4;
        return whole > received.size() ? static_cast<uint32_t>(whole - received.size()) : 1;
    }

    // Finds the answer to (type, sequence) in the bytes so far; drops what is no answer.
    static bool TakeAnswer(std::vector<uint8_t>& received, char type, uint16_t sequence, SAnswer& answer)
    {
        while (!received.empty()) {
            char gotType = 0;
            uint16_t gotSequence = 0;
            const uint8_t* payload = nullptr;
            uint16_t length = 0;
            const long used = hbds_fw_decode(received.data(), received.size(), 'f', &gotType, &gotSequence, &payload,
                                             &length);
            if (used == 0)
                return false;
            const bool match = used > 0 && payload && length > 0 && gotType == type && gotSequence == sequence;
            if (match) {
                answer.status = payload[0];
                answer.data.assign(reinterpret_cast<const char*>(payload) + 1, length - 1u);
            }
            received.erase(received.begin(), received.begin() + (used > 0 ? used : 1));
            if (match)
                return true;
        }
        return false;
    }

    void EnterStep(uint32_t step)
    {
        Store(m_progress.stepPercent[step], 0);
        Store(m_progress.step, step);
    }

    void FinishStep(uint32_t step) { Store(m_progress.stepPercent[step], 100); }

    HBDS_HANDLE m_handle;
    const std::vector<uint8_t>& m_image;
    const HbdsKernelInfo& m_info;
    int m_retries;
    HbdsFirmwareProgress& m_progress;
    bool m_linkGone = false;  // the connection itself failed: asking again is of no use
};

bool ReadSoundImage(const char* path, std::vector<uint8_t>& image, HbdsKernelInfo& info)
{
    return ReadWholeFile(path, image) && hbds_fw_check_image(image.data(), image.size(), &info);
}

}  // namespace

extern "C" {

int hbds_get_kernel_info(const char* path, void* kernelInfo, uint32_t* out)
{
    if (kernelInfo)
        std::memset(kernelInfo, 0, HBDS_KERNEL_INFO_SIZE);
    std::vector<uint8_t> image;
    HbdsKernelInfo info;
    if (!ReadWholeFile(path, image) || !hbds_fw_check_image(image.data(), image.size(), &info)) {
        SetStatus(out, HBDS_ERR_INVALID_FILE_FORMAT);
        logout_line(3, "Firmware.cpp", __LINE__, "%s is no sound firmware file", path ? path : "(null)");
        return 0;
    }
    if (kernelInfo)
        std::memcpy(kernelInfo, &info, sizeof info);
    SetStatus(out, HBDS_OK);
    return 1;
}

int hbds_update_firmware_file_1(HBDS_HANDLE handle, const char* path, int nameCheck, int retries,
                                void* progress, int reserved, uint32_t* status)
{
    (void)reserved;
    if (!progress) {
        SetStatus(status, HBDS_ERR_INVALID_PARAMS);
        return 0;
    }
    auto& record = *static_cast<HbdsFirmwareProgress*>(progress);
    ClearProgress(record);
    std::vector<uint8_t> image;
    HbdsKernelInfo info;
    // A broken file is refused before a single byte goes to the scanner.
    if (!ReadSoundImage(path, image, info)) {
        SetStatus(status, HBDS_ERR_INVALID_FILE_FORMAT);
        logout_line(2, "Firmware.cpp", __LINE__, "download refused: %s is no sound firmware file",
                    path ? path : "(null)");
        return 0;
    }
    if (!hbds_is_open(handle)) {
        SetStatus(status, HBDS_ERR_NOT_OPEN);
        return 0;
    }
    Store(record.partCount, info.partCount);
    for (uint32_t i = 0; i < info.partCount && i < sizeof record.partKinds; ++i)
        __atomic_store_n(&record.partKinds[i], static_cast<uint8_t>(info.parts[i].kind), __ATOMIC_RELAXED);
    const uint32_t result = CDownload(handle, image, info, retries, record).Run(nameCheck != 0);
    SetStatus(status, result);
    logout_line(result == HBDS_OK ? 4 : 2, "Firmware.cpp", __LINE__, "download of %s (%s for %s): status %u", path,
                info.version, info.deviceName, result);
    return result == HBDS_OK ? 1 : 0;
}

int hbds_confirm_firmware(HBDS_HANDLE handle, const char* path, int waitMs, uint32_t* status)
{
    std::vector<uint8_t> image;
    HbdsKernelInfo info;
    if (!ReadSoundImage(path, image, info)) {
        SetStatus(status, HBDS_ERR_INVALID_FILE_FORMAT);
        return 0;
    }
    if (!hbds_is_open(handle)) {
        SetStatus(status, HBDS_ERR_NOT_OPEN);
        return 0;
    }
    HbdsFirmwareProgress unused{};
    // The connection is new and the end packet long answered: another version is final.
    const uint32_t result = CDownload(handle, image, info, 1, unused).Settle(HBDS_ERR_UPDATE_FAILED, waitMs);
    SetStatus(status, result);
    logout_line(result == HBDS_OK ? 4 : 2, "Firmware.cpp", __LINE__, "after the restart %s is %s: status %u", path,
                result == HBDS_OK ? "running" : "not running", result);
    return result == HBDS_OK ? 1 : 0;
}

}  // extern "C"
