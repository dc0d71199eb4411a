#include "SimLineTerminal.h"

void CSimLineTerminal::Enter()
{
    m_active = true;
    m_line.clear();
}

std::vector<std::string> CSimLineTerminal::Push(const std::string& bytes)
{
    std::vector<std::string> answers;
    for (char c : bytes) {
        if (!m_active)
            break;
        if (c == '\n')
            continue;
        if (c != '\r') {
            if (m_line.size() < kLongestLine)
                m_line += c;
            continue;
        }
        answers.push_back(Answer(m_line));
        m_line.clear();
    }
    return answers;
}

std::string CSimLineTerminal::Answer(const std::string& line)
{
    if (line.find("exit") != std::string::npos) {
        m_active = false;
        return "bye\r\n";
    }
    if (line == "help")
        return "commands: help, ver, exit\r\n> ";
    if (line == "ver")
        return m_version + "\r\n> ";
    return "unknown command: " + line + "\r\n> ";
}
