// A scanner played by a test on a pseudo-terminal: it collects each request frame
// and answers with the next scripted reply ("" = stay silent for that request).
#pragma once

#include "PseudoTerminal.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CScriptedScanner {
public:
    CScriptedScanner();
    ~CScriptedScanner();

    const std::string& Path() const { return m_pty.Path(); }
    CPseudoTerminal& Terminal() { return m_pty; }

    void Script(std::vector<std::string> replies);
    std::vector<std::string> Requests();

private:
    void Serve();

    CPseudoTerminal m_pty;
    std::mutex m_mutex;
    std::deque<std::string> m_replies;
    std::vector<std::string> m_requests;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The reply frame of a scanner for the packed items.
inline std::string ReplyFrame(const std::string& packedItems)
{
    return std::string("\x02\x01" "0000@", 7) + packedItems + ";\x03";
}
