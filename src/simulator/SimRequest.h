// One request frame taken apart: its mark and its commands written out in full
// ("@232BAD5,PAR1;QRYSYS;" gives "232BAD5", "232PAR1", "QRYSYS").
#pragma once

#include <functional>
#include <string>
#include <vector>

class CSimRequest {
public:
    // `isKnown` tells whether a six-character name is a command of the scanner; it
    // decides whether a "," or ";" starts a command or belongs to a value. False when
    // `frame` is no well-formed request.
    bool Parse(const std::string& frame, const std::function<bool(const std::string&)>& isKnown);

    char Mark() const { return m_mark; }
    const std::vector<std::string>& Commands() const { return m_commands; }

private:
    void SplitGroupToken(const std::string& token, const std::function<bool(const std::string&)>& isKnown);

    char m_mark = '@';
    std::vector<std::string> m_commands;
};
