// A network port that answers every request with the start of a reply and never ends
// it: flooding as fast as the loopback takes it, or trickling a byte at a time. What a
// broken scanner or a hostile port on the network does to the tool.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class CEndlessReplyServer {
public:
    // FLOOD and TRICKLE start a reply first; NOISE floods bytes that never become one.
    enum class EPace { FLOOD, TRICKLE, NOISE };

    explicit CEndlessReplyServer(EPace pace, int trickleGapMs = 200);
    ~CEndlessReplyServer();
    CEndlessReplyServer(const CEndlessReplyServer&) = delete;
    CEndlessReplyServer& operator=(const CEndlessReplyServer&) = delete;

    // "tcp://127.0.0.1:PORT"; empty when no port could be had.
    std::string Address() const;
    // Bytes sent so far, over every connection.
    uint64_t BytesSent() const { return m_sent; }

private:
    void Serve();
    void Answer(int connection);

    EPace m_pace;
    int m_gapMs;
    int m_listener = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_sent{0};
    std::thread m_thread;
};
