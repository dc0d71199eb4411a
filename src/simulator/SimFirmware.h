// The download side of the simulated scanner: takes firmware packets off the line,
// answers them, checks what arrived and restarts with the new version. Bytes that are
// no firmware packet are handed back for the command protocol.
#pragma once

#include "SimReply.h"

#include "hbds/hbds_firmware.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Download faults the scanner is told to show.
struct SSimFirmwareFaults {
    char failPacket = 0;     // 'P', 'S', 'D', 'V' or 'E': that packet is answered "failed"
    long failBlock = -1;     // with 'D': only this block (-1: the first)
    long loseBlock = -1;     // this block goes unanswered the first time it comes
    bool loseEnd = false;    // the end packet's answer is lost (the download itself ends well)
    bool dropAtRestart = false;  // the connection drops as the scanner restarts
    long powerLossBlock = -1;  // the power goes when this block comes: boot mode from then on
    int restartMs = 1500;    // silence while the scanner restarts

    // Adds one fault written as in the program's --fw-fault option ("fail:P", "fail:S",
    // "fail:D:N", "fail:V", "fail:E", "lose:N", "lose:E", "power:N", "restart:MS",
    // "drop"); false when the text is none of these.
    bool Add(const std::string& option);
};

class CSimFirmware {
public:
    using Clock = std::chrono::steady_clock;

    // `productName` is what a probe is told; `systemInfo` the factory system text,
    // whose "Firmware: " line gives the version until a download replaces it.
    CSimFirmware(const std::string& productName, const std::string& systemInfo);

    // Takes bytes from the line at `lineRate` baud: answers the firmware packets among
    // them into `replies` and returns the other bytes, for the command protocol. While
    // the scanner restarts, everything is lost.
    std::string Take(const uint8_t* data, size_t count, uint32_t lineRate, std::vector<SSimReply>& replies);

    // In boot mode the scanner takes only a download; it answers who it is and nothing else.
    bool InBootMode() const;
    std::string Version() const;
    // The system text with the current version (and the boot mode) in it.
    std::string SystemInfo() const;
    void SetFaults(const SSimFirmwareFaults& faults);
    // How long a restart after a download keeps the scanner silent.
    void SetRestartMs(int restartMs);
    // A power cycle: a download in progress is lost, a boot mode stays.
    void Restart();
    // Downloads completed since the start, and firmware packets heard.
    int CompletedDownloads() const;
    int PacketsHeard() const;

private:
    // Answers one sound packet; false when it goes unanswered.
    bool Answer(char type, uint16_t sequence, const uint8_t* payload, uint16_t length, std::string& answer);
    // True when the end packet just restarted the scanner.
    bool Restarting(const Clock::time_point& now) const { return now < m_silentUntil; }
    uint8_t SetUp(const uint8_t* payload, uint16_t length);
    bool Block(uint16_t block, const uint8_t* payload, uint16_t length, uint8_t& status);
    uint8_t VerifyPart(uint16_t part) const;
    uint8_t Finish(const uint8_t* payload, uint16_t length);
    void LosePower();
    bool FailsHere(char type, long block) const;

    mutable std::mutex m_mutex;
    const std::string m_productName;
    const std::string m_factoryInfo;
    std::string m_version;
    bool m_bootMode = false;
    int m_completed = 0;
    int m_packetsHeard = 0;
    SSimFirmwareFaults m_faults;
    bool m_lostOnce = false;

    std::string m_pending;
    Clock::time_point m_silentUntil{};
    Clock::time_point m_lineFreeAt{};  // when the bytes taken so far have crossed the wire

    // The download in progress.
    bool m_session = false;
    HbdsKernelInfo m_info{};
    std::vector<uint8_t> m_image;
    uint32_t m_part = 0;
    uint32_t m_nextBlock = 0;
};
