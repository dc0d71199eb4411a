// The scanner's end of a pseudo-terminal pair: the tool opens the slave by its path
// like a serial port, the simulator reads and writes the master.
#pragma once

#include "SimReply.h"

#include <cstdint>
#include <string>

class CPtyLink {
public:
    CPtyLink() = default;
    ~CPtyLink();
    CPtyLink(const CPtyLink&) = delete;
    CPtyLink& operator=(const CPtyLink&) = delete;

    // Opens the pair in raw mode; false with `error` set when the system refuses.
    bool Open(std::string& error);
    const std::string& SlavePath() const { return m_slavePath; }
    bool IsOpen() const { return m_master >= 0; }

    // Waits at most `timeoutMs` for bytes from the tool; true when some are there.
    bool WaitForInput(int timeoutMs) const;
    // The bytes that have arrived (empty when none).
    std::string ReadAvailable() const;
    // The baud rate the tool set on its end, 0 when it cannot be read.
    uint32_t LineRate() const;
    // Writes a reply at the line's pace; on a reply that ends in a disconnect, closes
    // the pair afterwards. False when the link is gone.
    bool Send(const SSimReply& reply);
    void Close();
    // Closes once the tool has read what was written, or after `timeoutMs`.
    void CloseWhenTaken(int timeoutMs);
    // Bytes written that the tool has not read yet.
    size_t UnreadByTool() const;

private:
    bool WritePaced(const std::string& bytes, int byteGapMs);
    // Waits at most `timeoutMs` until the tool has read everything written.
    void WaitUntilTaken(int timeoutMs) const;

    int m_master = -1;
    int m_slave = -1;  // held open so that the master does not hang up between the tool's opens
    std::string m_slavePath;
};
