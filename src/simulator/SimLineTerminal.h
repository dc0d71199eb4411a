// The scanner's line terminal, entered with "CLIENA1": plain text lines ending in CR,
// no frames. It knows "help", "ver" and "exit"; "exit" leaves it.
#pragma once

#include <string>
#include <vector>

class CSimLineTerminal {
public:
    static bool IsEnterCommand(const std::string& name) { return name == "CLIENA"; }
    // A line longer than this is cut off, as the scanner's line buffer is.
    static constexpr size_t kLongestLine = 64;

    explicit CSimLineTerminal(std::string version) : m_version(std::move(version)) {}

    void Enter();
    bool IsActive() const { return m_active; }
    // Takes bytes from the line; returns the answers to the lines they complete.
    std::vector<std::string> Push(const std::string& bytes);

private:
    std::string Answer(const std::string& line);

    std::string m_version;
    std::string m_line;
    bool m_active = false;
};
