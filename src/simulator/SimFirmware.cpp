#include "SimFirmware.h"

#include "SimLinePacer.h"
#include "SimNumber.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kFirmwareLabel = "Firmware: ";
// No packet of the tool is longer than a set-up packet; a longer "length" is noise.
const uint16_t kLongestPayload = HBDS_KERNEL_INFO_SIZE + 4;
const uint32_t kLargestImage = 64u << 20;

std::string VersionIn(const std::string& systemInfo)
{
    const size_t at = systemInfo.find(kFirmwareLabel);
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + std::strlen(kFirmwareLabel);
    return systemInfo.substr(start, systemInfo.find_first_of("\r\n", start) - start);
}

uint32_t Le32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

bool ReadNumber(const std::string& text, long limit, long& value)
{
    return ParseDecimal(text, value) && value >= 0 && value <= limit;
}

}  // namespace

bool SSimFirmwareFaults::Add(const std::string& option)
{
    const size_t colon = option.find(':');
    const std::string kind = option.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : option.substr(colon + 1);
    if (kind == "fail" && argument.size() == 1 && std::string("PSDVE").find(argument[0]) != std::string::npos) {
        failPacket = argument[0];
        return true;
    }
    if (kind == "fail" && argument.size() > 2 && argument.compare(0, 2, "D:") == 0) {
        failPacket = 'D';
        return ReadNumber(argument.substr(2), 1L << 30, failBlock);
    }
    if (kind == "lose" && argument == "E") {
        loseEnd = true;
        return true;
    }
    if (kind == "lose")
        return ReadNumber(argument, 1L << 30, loseBlock);
    if (option == "drop") {
        dropAtRestart = true;
        return true;
    }
    if (kind == "power")
        return ReadNumber(argument, 1L << 30, powerLossBlock);
    long value = 0;
    if (kind == "restart" && ReadNumber(argument, 600000, value)) {
        restartMs = static_cast<int>(value);
        return true;
    }
    return false;
}

CSimFirmware::CSimFirmware(const std::string& productName, const std::string& systemInfo)
    : m_productName(productName), m_factoryInfo(systemInfo), m_version(VersionIn(systemInfo))
{
}

bool CSimFirmware::InBootMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bootMode;
}

std::string CSimFirmware::Version() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_version;
}

std::string CSimFirmware::SystemInfo() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string text = m_factoryInfo;
    const size_t at = text.find(kFirmwareLabel);
    if (at != std::string::npos) {
        const size_t start = at + std::strlen(kFirmwareLabel);
        text.replace(start, text.find_first_of("\r\n", start) - start, m_version);
    }
    return m_bootMode ? "Boot mode: waiting for a firmware download\r\n" + text : text;
}

void CSimFirmware::SetFaults(const SSimFirmwareFaults& faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
    m_lostOnce = false;
}

void CSimFirmware::SetRestartMs(int restartMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.restartMs = restartMs;
}

void CSimFirmware::Restart()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_session = false;
    m_pending.clear();
}

int CSimFirmware::CompletedDownloads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_completed;
}

int CSimFirmware::PacketsHeard() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_packetsHeard;
}

std::string CSimFirmware::Take(const uint8_t* data, size_t count, uint32_t lineRate, std::vector<SSimReply>& replies)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    if (now < m_silentUntil) {
        m_pending.clear();
        return std::string();
    }
    m_pending.append(reinterpret_cast<const char*>(data), count);
    std::string passOn;
    while (!m_pending.empty()) {
        const size_t start = m_pending.find('\x1B');
        passOn += m_pending.substr(0, start);
        m_pending.erase(0, start == std::string::npos ? m_pending.size() : start);
        if (m_pending.empty())
            break;
        const auto* bytes = reinterpret_cast<const uint8_t*>(m_pending.data());
        char type = 0;
        uint16_t sequence = 0;
        const uint8_t* payload = nullptr;
        uint16_t length = 0;
        const bool tooLong = m_pending.size() >= 7 && (bytes[5] | bytes[6] << 8) > kLongestPayload;
        const long used = tooLong ? -1 : hbds_fw_decode(bytes, m_pending.size(), 'F', &type, &sequence, &payload, &length);
        if (used == 0)
            break;
        if (used < 0) {
            passOn += m_pending[0];
            m_pending.erase(0, 1);
            continue;
        }
        ++m_packetsHeard;
        // A reply cannot leave before the packet it answers has crossed the wire.
        m_lineFreeAt = std::max(now, m_lineFreeAt) + CSimLinePacer::ByteTime(lineRate) * used;
        std::string answer;
        const bool answered = payload ? Answer(type, sequence, payload, length, answer) : true;
        if (!payload) {
            const uint8_t resend = HBDS_FW_ANSWER_RESEND;
            answer.assign(reinterpret_cast<const char*>(&resend), 1);
        }
        if (answered) {
            std::vector<uint8_t> packet(answer.size() + HBDS_FW_PACKET_OVERHEAD);
            packet.resize(hbds_fw_encode(packet.data(), 'f', type, sequence,
                                         reinterpret_cast<const uint8_t*>(answer.data()),
                                         static_cast<uint16_t>(answer.size())));
            SSimReply reply;
            reply.bytes.assign(packet.begin(), packet.end());
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(m_lineFreeAt - now);
            reply.delayMs = static_cast<int>(wait.count());
            reply.disconnect = m_faults.dropAtRestart && type == 'E' && Restarting(Clock::now());
            replies.push_back(reply);
        }
        m_pending.erase(0, static_cast<size_t>(used));
        if (Clock::now() < m_silentUntil) {
            m_pending.clear();  // the packet restarted the scanner: the rest is lost
            break;
        }
    }
    return passOn;
}

bool CSimFirmware::FailsHere(char type, long block) const
{
    if (m_faults.failPacket != type)
        return false;
    return type != 'D' || m_faults.failBlock < 0 || m_faults.failBlock == block;
}

bool CSimFirmware::Answer(char type, uint16_t sequence, const uint8_t* payload, uint16_t length, std::string& answer)
{
    uint8_t status = HBDS_FW_ANSWER_OK;
    std::string data;
    if (FailsHere(type, sequence)) {
        status = HBDS_FW_ANSWER_FAILED;
    } else if (type == 'P') {
        data = m_productName + '\0' + m_version + '\0' + (m_bootMode ? "B" : "N");
    } else if (type == 'S') {
        status = SetUp(payload, length);
    } else if (type == 'D') {
        if (!Block(sequence, payload, length, status))
            return false;
    } else if (type == 'V') {
        status = VerifyPart(sequence);
    } else if (type == 'E') {
        status = Finish(payload, length);
        if (status == HBDS_FW_ANSWER_OK && m_faults.loseEnd && !m_lostOnce) {
            m_lostOnce = true;
            return false;
        }
    } else {
        status = HBDS_FW_ANSWER_REFUSED;
    }
    answer = std::string(1, static_cast<char>(status)) + data;
    return true;
}

uint8_t CSimFirmware::SetUp(const uint8_t* payload, uint16_t length)
{
    if (length < HBDS_KERNEL_INFO_SIZE + 4)
        return HBDS_FW_ANSWER_REFUSED;
    HbdsKernelInfo info;
    std::memcpy(&info, payload, sizeof info);
    const uint32_t part = Le32(payload + HBDS_KERNEL_INFO_SIZE);
    if (info.partCount == 0 || info.partCount > HBDS_FW_MAX_PARTS || part >= info.partCount ||
        info.fileLength > kLargestImage || info.fileLength <= HBDS_KERNEL_INFO_SIZE)
        return HBDS_FW_ANSWER_REFUSED;
    const HbdsFirmwarePart& entry = info.parts[part];
    if (entry.offset < HBDS_KERNEL_INFO_SIZE || entry.offset + uint64_t(entry.length) > info.fileLength)
        return HBDS_FW_ANSWER_REFUSED;
    if (!m_session || part == 0 || std::memcmp(&info, &m_info, sizeof info) != 0) {
        m_info = info;
        m_image.assign(info.fileLength, 0);
        std::memcpy(m_image.data(), payload, HBDS_KERNEL_INFO_SIZE);
        m_session = true;
    }
    m_part = part;
    m_nextBlock = 0;
    return HBDS_FW_ANSWER_OK;
}

bool CSimFirmware::Block(uint16_t block, const uint8_t* payload, uint16_t length, uint8_t& status)
{
    if (m_faults.powerLossBlock == block && m_session) {
        LosePower();
        return false;
    }
    if (m_faults.loseBlock == block && !m_lostOnce) {
        m_lostOnce = true;
        return false;
    }
    status = HBDS_FW_ANSWER_REFUSED;
    if (!m_session)
        return true;
    const HbdsFirmwarePart& part = m_info.parts[m_part];
    const uint64_t at = uint64_t(block) * HBDS_FW_BLOCK_SIZE;
    if (block + 1u == m_nextBlock) {
        status = HBDS_FW_ANSWER_OK;  // its answer was lost; the block is here already
    } else if (block == m_nextBlock && at + length <= part.length) {
        std::memcpy(m_image.data() + part.offset + at, payload, length);
        ++m_nextBlock;
        status = HBDS_FW_ANSWER_OK;
    }
    return true;
}

uint8_t CSimFirmware::VerifyPart(uint16_t part) const
{
    if (!m_session || part != m_part)
        return HBDS_FW_ANSWER_REFUSED;
    const HbdsFirmwarePart& entry = m_info.parts[part];
    const bool whole = uint64_t(m_nextBlock) * HBDS_FW_BLOCK_SIZE >= entry.length;
    const bool sound = whole && hbds_fw_crc32(0, m_image.data() + entry.offset, entry.length) == entry.crc32;
    return sound ? HBDS_FW_ANSWER_OK : HBDS_FW_ANSWER_FAILED;
}

uint8_t CSimFirmware::Finish(const uint8_t* payload, uint16_t length)
{
    if (!m_session || length < 4)
        return HBDS_FW_ANSWER_REFUSED;
    if (Le32(payload) != m_info.fileCrc32 || !hbds_fw_check_image(m_image.data(), m_image.size(), nullptr))
        return HBDS_FW_ANSWER_FAILED;
    m_version = m_info.version;
    m_bootMode = false;
    m_session = false;
    ++m_completed;
    // It restarts once the answer is out.
    m_silentUntil = m_lineFreeAt + std::chrono::milliseconds(m_faults.restartMs);
    return HBDS_FW_ANSWER_OK;
}

void CSimFirmware::LosePower()
{
    // The old firmware is half overwritten: only the boot loader is left.
    m_session = false;
    m_bootMode = true;
    m_silentUntil = Clock::now() + std::chrono::milliseconds(m_faults.restartMs);
    m_faults.powerLossBlock = -1;
}
