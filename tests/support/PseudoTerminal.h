// A pseudo-terminal pair for tests: the test holds the master end and plays the
// scanner; the code under test opens the slave end by path.
#pragma once

#include <chrono>
#include <functional>
#include <string>

class CPseudoTerminal {
public:
    CPseudoTerminal();
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    const std::string& Path() const { return m_path; }
    int Slave() const { return m_slave; }

    // Writes all bytes to the master end; false when that failed.
    bool Send(const std::string& bytes) const;
    // Reads from the master end until `expected` bytes came or `timeoutMs` passed.
    std::string Receive(size_t expected, int timeoutMs = 1000) const;
    // Reads until the bytes end with `terminator` or `timeoutMs` passed.
    std::string ReceiveUntil(const std::string& terminator, int timeoutMs = 1000) const;
    void CloseMaster();

private:
    std::string ReceiveUntilDone(const std::function<bool(const std::string&)>& done, int timeoutMs) const;

    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
