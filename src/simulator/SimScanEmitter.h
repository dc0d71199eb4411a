// What the simulated scanner reads by itself: codes from a script of reads or a
// built-in sample list, one every period, sent plain (with CR LF) or as packed data
// frames, each read passed through the scanner's data formats first.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SSimRead {
    int symbology = 0;  // code of "Symbologies.xml"
    std::string data;
};

enum class ESimPacking {
    PLAIN,    // the data and CR LF
    CODE_ID,  // packed frame with the mark ";"
    AIM_ID    // packed frame with the mark "6"
};

class CSimScanEmitter {
public:
    using Clock = std::chrono::steady_clock;
    // Turns a read into what the scanner sends; the data formats of the scanner.
    using Formatter = std::function<std::string(const std::string& data, int symbology)>;

    CSimScanEmitter();

    // Reads a script: one read per line, "CODE<TAB>DATA" or just "DATA" (Code 128);
    // blank lines and lines starting with "#" are skipped. False with `error` set when
    // the file cannot be read or holds no read.
    bool LoadScript(const std::string& path, std::string& error);
    void SetReads(std::vector<SSimRead> reads) { m_reads = std::move(reads); }
    // One read every `periodMs` (0: the scanner reads nothing by itself). A script
    // is played once; the sample list goes round forever.
    void SetPeriod(int periodMs, bool repeat);
    void SetPacking(ESimPacking packing) { m_packing = packing; }
    void SetFormatter(Formatter formatter);
    bool IsActive() const { return m_periodMs > 0 && m_next < m_reads.size(); }

    // The bytes of the reads due by `now`, oldest first. Reads nobody collected for
    // a long time are skipped but for the last few, as a scanner's buffer would.
    std::vector<std::string> TakeDue(Clock::time_point now);
    // Milliseconds until the next read is due, at most `ceilingMs`.
    int MillisecondsToNext(Clock::time_point now, int ceilingMs) const;

    // The bytes of one read as this emitter sends it.
    std::string Encode(const SSimRead& read) const;
    // A packed data frame: 0x02 0x00, the length (two bytes, high first), the mark,
    // the payload and a checksum (0xFF exclusive-or every byte from the length on).
    static std::string PackFrame(const std::string& payload, char mark);

private:
    std::vector<SSimRead> m_reads;
    size_t m_next = 0;
    bool m_repeat = true;
    int m_periodMs = 0;
    Clock::time_point m_due;
    ESimPacking m_packing = ESimPacking::PLAIN;
    Formatter m_formatter;
};
