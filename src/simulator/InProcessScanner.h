// A simulated scanner on a virtual port of the device-link library, so that the tool
// finds, detects and opens it like a scanner on a serial port, inside one process.
// Stopping it is unplugging it; starting it again is plugging it back in after a
// power cycle, under the same port number. With the timing profile's new path on
// restart, a completed download unplugs it and plugs it back in under the next name
// ("sim:NAME.2", ...), as a USB scanner re-enumerates under another device path.
// A scanner without a timing profile takes the one in VOSTREL_SIM_TIMING.
#pragma once

#include "SimulatedScanner.h"

#include "hbds/hbds.h"

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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
    // The name of the last start (another one after a restart on a new path).
    std::string PortName() const;
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
    // After a completed download on a new path: unplugs once the answer is out and
    // plugs in again under the next name. Runs on a thread of its own, as a port may
    // not be removed from inside its callbacks.
    void MoveAfterDownload();
    void WatchForRestart();
    void JoinMover();
    // Copies the bytes that are due; -1 when the link is down and nothing is left.
    int TakeDueLocked(uint8_t* buffer, uint32_t size);

    std::unique_ptr<CSimulatedScanner> m_scanner;
    mutable std::mutex m_nameMutex;
    std::string m_portName;
    const std::string m_baseName;
    int m_moves = 0;
    std::atomic<uint32_t> m_port{0};
    std::atomic<uint32_t> m_lastPort{0};
    std::mutex m_moveMutex;  // callbacks run on several threads at once
    int m_downloads = 0;
    std::thread m_mover;
    std::atomic<bool> m_moving{false};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<SQueuedByte> m_output;
    uint32_t m_lineRate = 9600;
    bool m_disconnectQueued = false;  // the link drops once m_output is empty
    bool m_gone = false;
};
