// The protocol engine of the simulated scanner: request bytes in, reply bytes out,
// with its settings, its identity and the faults it is told to show. It knows nothing
// of ports; the in-process port and the pseudo-terminal program carry its bytes.
#pragma once

#include "SimBatchStore.h"
#include "SimDataFormats.h"
#include "SimFaults.h"
#include "SimFirmware.h"
#include "SimFrameAssembler.h"
#include "SimImage.h"
#include "SimLineTerminal.h"
#include "SimReply.h"
#include "SimScanEmitter.h"
#include "SimScannerProfile.h"
#include "SimSettingsDatabase.h"
#include "SimTiming.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CSimReplyBuilder;

class CSimulatedScanner {
public:
    CSimulatedScanner(const CSimSettingsDatabase& settings, const SSimScannerProfile& profile);

    // A scanner of the model in the command file at `path`; null with `error` set
    // when the file cannot be used.
    static std::unique_ptr<CSimulatedScanner> FromModelFile(const std::string& path, const SSimScannerProfile& profile,
                                                            std::string& error);

    // Takes bytes from the line and returns the replies to the requests they complete.
    std::vector<SSimReply> Feed(const uint8_t* data, size_t count);
    std::vector<SSimReply> Feed(const std::string& bytes);

    // The rate the host's end of the line runs at (0: unknown, taken as matching).
    // At any other rate than the scanner's own, what arrives is noise and is ignored.
    void SetLineRate(uint32_t baudRate);
    // A power cycle: temporary values and half-received requests are lost.
    void Restart();

    // How long the scanner takes over its answers (none by default); a profile's restart
    // time replaces the download faults' one.
    void SetTiming(const SSimTiming& timing);
    SSimTiming Timing();

    CSimFaults& Faults() { return m_faults; }
    CSimFirmware& Firmware() { return m_firmware; }
    const SSimScannerProfile& Profile() const { return m_profile; }
    // The current value of a setting, empty when there is no such setting.
    std::string CurrentValue(const std::string& name);
    // The request frames heard since the last call, oldest first (the most recent
    // kHeardFramesKept only), so that a test or a log can see what the tool sent.
    std::vector<std::string> TakeHeardFrames();
    static constexpr size_t kHeardFramesKept = 4096;
    // What the scanner sends for a read of `data` in the symbology `symbologyCode`
    // once its stored data formats have run on it.
    std::string ApplyDataFormats(const std::string& data, int symbologyCode);

    // What the scanner reads by itself and what it keeps in batch mode; set up
    // before the scanner is served.
    CSimScanEmitter& ScanEmitter() { return m_emitter; }
    CSimBatchStore& BatchStore() { return m_batch; }
    // The reads due by now, as replies nobody asked for (none in the line terminal).
    std::vector<SSimReply> TakeSpontaneous();
    // Milliseconds until the next read is due, at most `ceilingMs`.
    int MillisecondsToSpontaneous(int ceilingMs);

private:
    bool AnswerFrame(const std::string& frame, const SSimFaultPlan& faults, SSimReply& reply);
    void AnswerCommand(const std::string& command, char mark, const SSimFaultPlan& faults,
                       CSimReplyBuilder& builder);
    void AnswerWholeList(char query, CSimReplyBuilder& builder) const;
    bool AnswerIdentity(const std::string& name, const std::string& rest, CSimReplyBuilder& builder) const;
    void AnswerSetting(CSimSetting& setting, const std::string& rest, char mark, CSimReplyBuilder& builder);
    bool IsKnown(const std::string& name) const;
    static bool IsIdentity(const std::string& name);
    // Batch mode and the line terminal; true when `command` was one of theirs.
    bool AnswerModeCommand(const std::string& command, CSimReplyBuilder& builder);
    // The stored codes after "WLSSBT", the line terminal after "CLIENA1".
    void FollowUpLastFrame(std::vector<SSimReply>& replies);
    std::vector<SSimReply> FeedLineTerminal(const uint8_t* data, size_t count);
    // Adds `reply` to `replies` as the timing profile sends it.
    void QueueTimed(const SSimReply& reply, const SSimSpan& extra, std::vector<SSimReply>& replies);

    std::mutex m_mutex;
    CSimSettingsDatabase m_settings;
    const SSimScannerProfile m_profile;
    CSimFaults m_faults;
    CSimFirmware m_firmware;
    CSimDataFormats m_dataFormats;
    CSimFrameAssembler m_assembler;
    uint32_t m_lineRate = 0;
    std::deque<std::string> m_heard;
    CSimScanEmitter m_emitter;
    CSimBatchStore m_batch;
    CSimLineTerminal m_lineTerminal;
    bool m_uploadBatch = false;
    bool m_enterLineTerminal = false;
    CSimImage m_image;
    CSimTimer m_timer;
    long m_repliesMade = 0;  // answers to requests since the start, for faults that wait their turn
};
