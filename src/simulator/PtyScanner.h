// A simulated scanner answering on its own pseudo-terminal, from a background thread
// (tests and benchmarks that want a real serial line inside one process) or from the
// simulator program's main loop. A scanner without a timing profile takes the one in
// VOSTREL_SIM_TIMING.
#pragma once

#include "PtyLink.h"
#include "SimulatedScanner.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

// Waits at most `waitMs` for request bytes and answers the requests they complete.
// False once the link is gone (a disconnect fault closes it).
// `repliedBytes`, when given, counts the reply bytes written.
bool AnswerPendingRequests(CSimulatedScanner& scanner, CPtyLink& link, int waitMs,
                           std::atomic<size_t>* repliedBytes = nullptr);

class CPtyScanner {
public:
    explicit CPtyScanner(std::unique_ptr<CSimulatedScanner> scanner);
    ~CPtyScanner();
    CPtyScanner(const CPtyScanner&) = delete;
    CPtyScanner& operator=(const CPtyScanner&) = delete;

    // Opens the pseudo-terminal and starts answering; false with `error` set.
    bool Start(std::string& error);
    void Stop();
    // The path the tool opens like a serial port.
    const std::string& Path() const { return m_link.SlavePath(); }
    CSimulatedScanner& Scanner() { return *m_scanner; }
    // Reply bytes written to the line since the start.
    size_t RepliedBytes() const { return m_repliedBytes; }

private:
    std::unique_ptr<CSimulatedScanner> m_scanner;
    CPtyLink m_link;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_repliedBytes{0};
    std::thread m_thread;
};
