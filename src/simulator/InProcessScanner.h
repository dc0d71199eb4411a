// A simulated scanner on a virtual port of the device-link library, so that the tool
// finds, detects and opens it like a scanner on a serial port, inside one process.
// Stopping it is unplugging it; starting it again is plugging it back in after a
// power cycle, under the same port number.
#pragma once

#include "SimulatedScanner.h"

#include "hbds.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

class CInProcessScanner {
public:
    // `portName` empty: "sim:" and the product name.
    explicit CInProcessScanner(std::unique_ptr<CSimulatedScanner> scanner, const std::string& portName = "");
    ~CInProcessScanner();
    CInProcessScanner(const CInProcessScanner&) = delete;
    CInProcessScanner& operator=(const CInProcessScanner&) = delete;

    // Registers the port (after a stop, with a power cycle first); the port number, or
    // 0 when the name is taken.
    uint32_t Start();
    // Unregisters the port; connections to it fail from now on.
    void Stop();
    bool IsRunning() const { return m_port != 0; }
    // The port number of the last start (kept over a stop), 0 before the first.
    uint32_t Port() const { return m_lastPort; }
    const std::string& PortName() const { return m_portName; }
    CSimulatedScanner& Scanner() { return *m_scanner; }
    // Hands the engine back (stopping first); the object is of no further use.
    std::unique_ptr<CSimulatedScanner> TakeScanner();

private:
    using Clock = std::chrono::steady_clock;
    struct SQueuedByte {
        uint8_t byte;
        Clock::time_point due;
    };

    static void OnReceive(void* context, const uint8_t* data, uint32_t count);
    static int OnSend(void* context, uint8_t* buffer, uint32_t size, int timeoutMs);
    static void OnLineChanged(void* context, const SerialSettings* settings);
    static void OnDropInput(void* context);

    void Receive(const uint8_t* data, uint32_t count);
    int Send(uint8_t* buffer, uint32_t size, int timeoutMs);
    void LineChanged(const SerialSettings& settings);
    void DropOutput();
    void QueueLocked(const SSimReply& reply);
    // Copies the bytes that are due; -1 when the link is down and nothing is left.
    int TakeDueLocked(uint8_t* buffer, uint32_t size);

    std::unique_ptr<CSimulatedScanner> m_scanner;
    std::string m_portName;
    uint32_t m_port = 0;
    uint32_t m_lastPort = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<SQueuedByte> m_output;
    uint32_t m_lineRate = 9600;
    bool m_disconnectQueued = false;  // the link drops once m_output is empty
    bool m_gone = false;
};
