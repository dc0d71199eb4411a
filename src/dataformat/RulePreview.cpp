#include "RulePreview.h"

#include "KeyStrokes.h"
#include "RuleCodec.h"
#include "RuleTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

// What each rule does in this model of the scanner. The read is the input; a pointer
// (cursor) starts at its first character; "send" appends to the output. A rule that
// cannot do its work (a search that finds nothing, a count past the end, a compare
// that differs) makes the whole format fail, and the scanner then sends the read as
// it is (or nothing, when a format is required).
//
//   F1 xx        send from the pointer to the end, then the character xx; pointer to the end
//   B9 n s       send from the pointer up to the string s (not found: fail); pointer to s
//   F2 nn xx     send nn characters from the pointer, then xx (fewer left: fail)
//   F3 ss xx     send from the pointer up to the character ss, then xx (not found: fail); pointer to ss
//   E9 nn        send from the pointer to the end except the last nn characters; pointer past what was sent
//   F4 xx nn     send the character xx nn times
//   B3           insert the symbology's name
//   B4           insert the read's length in decimal
//   B5 n keys    insert key strokes: each key is a modifier and a USB key code; it sends what
//                the key types (Enter: CR) and is shown by its name ([Enter], [Shift+Tab])
//   B8           deprecated: nothing
//   EE nn        repeat: the scanner's loop is not modelled; nothing
//   E4 n pairs   from now on, every character sent that is among the first half of the
//                listed characters is replaced by the character at the same place in the second half
//   BA t n s m r from now on, the string s in what is sent is replaced by r, at most t times (00: always)
//   FB n chars   from now on, the listed characters are not sent
//   F8 xx        move the pointer forward to the next xx (from the pointer on; not found: fail)
//   E6 xx        move the pointer forward to the next character that is not xx
//   B0 n s       move the pointer forward to the next string s
//   ED / EC      move the pointer forward to the next non-digit / digit
//   F9 xx        move the pointer backward to the previous xx (before the pointer; not found: fail)
//   E7 xx        move the pointer backward to the previous character that is not xx
//   B1 n s       move the pointer backward to the previous start of the string s
//   F5 nn / F6 nn move the pointer nn characters forward / backward (past an end: fail)
//   F7 / EA      move the pointer to the beginning / end of the read
//   FE xx        compare the character at the pointer with xx: equal skips it, else fail
//   B2 n s       compare the text at the pointer with s: equal skips it, else fail
//   EF nnnn      pause nnnn × 5 ms before going on: nothing to see in the output
namespace {

class CRuleMachine {
public:
    explicit CRuleMachine(const SSampleRead& read) : m_read(read) {}

    // Runs one rule; false (with the reason) when it fails.
    bool Run(const std::string& rule, std::string& reason);
    const std::string& Output() const { return m_output; }
    const std::string& ShownText() const { return m_shown; }

private:
    void Send(const std::string& text);
    void SendKey(uint8_t modifiers, uint8_t usage);
    bool SendCount(size_t count, std::string& reason);
    bool MoveTo(size_t position, std::string& reason, const char* what);
    bool SearchForward(const std::string& rule, std::string& reason);
    bool SearchBackward(const std::string& rule, std::string& reason);
    bool Compare(const std::string& expected, std::string& reason);
    void SetFilters(const std::string& code, const std::string& rule);
    std::string ReplaceStrings(const std::string& text);

    const SSampleRead& m_read;
    size_t m_pointer = 0;
    std::string m_output;
    std::string m_shown;
    std::string m_suppressed;
    std::string m_from;  // E4: characters replaced ...
    std::string m_to;    // ... by these
    std::string m_oldString;
    std::string m_newString;
    int m_replacementsLeft = 0;  // BA: -1 always
};

std::string Byte(const std::string& rule, size_t at)
{
    std::string byte;
    HexToBytes(rule.substr(at, 2), byte);
    return byte;
}

size_t Number(const std::string& rule, size_t at, size_t digits)
{
    return std::stoul(rule.substr(at, digits));
}

// The bytes of a counted hexadecimal text at `at` (count of `digits` digits).
std::string CountedBytes(const std::string& rule, size_t& at, size_t digits)
{
    const size_t count = Number(rule, at, digits);
    std::string bytes;
    HexToBytes(rule.substr(at + digits, count * 2), bytes);
    at += digits + count * 2;
    return bytes;
}

std::string Shown(const std::string& bytes)
{
    return ShowControlChars(bytes);
}

}  // namespace

void CRuleMachine::Send(const std::string& text)
{
    std::string filtered;
    for (char c : text) {
        if (m_suppressed.find(c) != std::string::npos)
            continue;
        const size_t mapped = m_from.find(c);
        filtered += mapped != std::string::npos && mapped < m_to.size() ? m_to[mapped] : c;
    }
    const std::string sent = ReplaceStrings(filtered);
    m_output += sent;
    m_shown += ShowControlChars(sent);
}

// A key stroke is not a character of the read: the filters leave it alone.
void CRuleMachine::SendKey(uint8_t modifiers, uint8_t usage)
{
    m_output += KeyStrokeText(modifiers, usage);
    m_shown += KeyStrokeName(modifiers, usage);
}

std::string CRuleMachine::ReplaceStrings(const std::string& text)
{
    if (m_oldString.empty() || m_replacementsLeft == 0)
        return text;
    std::string result;
    size_t start = 0;
    for (size_t found = text.find(m_oldString); found != std::string::npos && m_replacementsLeft != 0;
         found = text.find(m_oldString, start)) {
        result += text.substr(start, found - start) + m_newString;
        start = found + m_oldString.size();
        if (m_replacementsLeft > 0)
            --m_replacementsLeft;
    }
    return result + text.substr(start);
}

bool CRuleMachine::SendCount(size_t count, std::string& reason)
{
    if (m_read.data.size() - m_pointer < count) {
        reason = "fewer than " + std::to_string(count) + " characters left";
        return false;
    }
    Send(m_read.data.substr(m_pointer, count));
    m_pointer += count;
    return true;
}

bool CRuleMachine::MoveTo(size_t position, std::string& reason, const char* what)
{
    if (position == std::string::npos || position > m_read.data.size()) {
        reason = std::string(what) + " not found";
        return false;
    }
    m_pointer = position;
    return true;
}

bool CRuleMachine::SearchForward(const std::string& rule, std::string& reason)
{
    const std::string code = rule.substr(0, 2);
    const std::string& data = m_read.data;
    size_t found = std::string::npos;
    if (code == "F8") {
        found = data.find(Byte(rule, 2), m_pointer);
    } else if (code == "E6") {
        found = data.find_first_not_of(Byte(rule, 2), m_pointer);
    } else if (code == "B0") {
        size_t at = 2;
        const std::string text = CountedBytes(rule, at, 4);
        found = data.find(text, m_pointer);
    } else {
        const bool digit = code == "EC";
        for (size_t i = m_pointer; i < data.size() && found == std::string::npos; ++i) {
            if ((std::isdigit(static_cast<unsigned char>(data[i])) != 0) == digit)
                found = i;
        }
    }
    return MoveTo(found, reason, "search forward:");
}

bool CRuleMachine::SearchBackward(const std::string& rule, std::string& reason)
{
    const std::string code = rule.substr(0, 2);
    const std::string& data = m_read.data;
    size_t found = std::string::npos;
    if (m_pointer > 0) {
        if (code == "F9") {
            found = data.rfind(Byte(rule, 2), m_pointer - 1);
        } else if (code == "E7") {
            found = data.find_last_not_of(Byte(rule, 2), m_pointer - 1);
        } else {
            size_t at = 2;
            const std::string text = CountedBytes(rule, at, 4);
            found = text.empty() ? m_pointer : data.rfind(text, m_pointer - 1);
        }
    }
    return MoveTo(found, reason, "search backward:");
}

bool CRuleMachine::Compare(const std::string& expected, std::string& reason)
{
    if (m_read.data.compare(m_pointer, expected.size(), expected) != 0) {
        reason = "compare: " + Shown(expected) + " not at the pointer";
        return false;
    }
    m_pointer += expected.size();
    return true;
}

void CRuleMachine::SetFilters(const std::string& code, const std::string& rule)
{
    size_t at = 2;
    if (code == "FB") {
        m_suppressed += CountedBytes(rule, at, 2);
    } else if (code == "E4") {
        const std::string pairs = CountedBytes(rule, at, 2);
        const size_t half = (pairs.size() + 1) / 2;
        m_from = pairs.substr(0, half);
        m_to = pairs.substr(half);
    } else {
        const int times = static_cast<int>(Number(rule, 2, 2));
        at = 4;
        m_oldString = CountedBytes(rule, at, 2);
        m_newString = CountedBytes(rule, at, 2);
        m_replacementsLeft = times == 0 ? -1 : times;
    }
}

bool CRuleMachine::Run(const std::string& rule, std::string& reason)
{
    const std::string code = rule.substr(0, 2);
    const std::string& data = m_read.data;
    if (code == "F1") {
        Send(data.substr(m_pointer) + Byte(rule, 2));
        m_pointer = data.size();
    } else if (code == "B9" || code == "F3") {
        size_t at = 2;
        const std::string target = code == "F3" ? Byte(rule, 2) : CountedBytes(rule, at, 4);
        const size_t found = data.find(target, m_pointer);
        if (found == std::string::npos) {
            reason = Shown(target) + " not found";
            return false;
        }
        Send(data.substr(m_pointer, found - m_pointer) + (code == "F3" ? Byte(rule, 4) : std::string()));
        m_pointer = found;
    } else if (code == "F2") {
        if (!SendCount(Number(rule, 2, 2), reason))
            return false;
        Send(Byte(rule, 4));
    } else if (code == "E9") {
        const size_t keep = std::max(m_pointer, data.size() - std::min(data.size(), Number(rule, 2, 2)));
        Send(data.substr(m_pointer, keep - m_pointer));
        m_pointer = keep;
    } else if (code == "F4") {
        Send(std::string(Number(rule, 4, 2), Byte(rule, 2).empty() ? '?' : Byte(rule, 2)[0]));
    } else if (code == "B3") {
        Send(m_read.symbology);
    } else if (code == "B4") {
        Send(std::to_string(data.size()));
    } else if (code == "B5") {
        const size_t keys = Number(rule, 2, 2);
        for (size_t i = 0; i < keys; ++i) {
            const std::string modifiers = Byte(rule, 4 + i * 4);
            const std::string usage = Byte(rule, 4 + i * 4 + 2);
            if (modifiers.size() == 1 && usage.size() == 1)
                SendKey(static_cast<uint8_t>(modifiers[0]), static_cast<uint8_t>(usage[0]));
        }
    } else if (code == "E4" || code == "FB" || code == "BA") {
        SetFilters(code, rule);
    } else if (code == "F8" || code == "E6" || code == "B0" || code == "ED" || code == "EC") {
        return SearchForward(rule, reason);
    } else if (code == "F9" || code == "E7" || code == "B1") {
        return SearchBackward(rule, reason);
    } else if (code == "F5") {
        return MoveTo(m_pointer + Number(rule, 2, 2), reason, "move forward: end");
    } else if (code == "F6") {
        const size_t back = Number(rule, 2, 2);
        return MoveTo(back > m_pointer ? std::string::npos : m_pointer - back, reason, "move backward: beginning");
    } else if (code == "F7") {
        m_pointer = 0;
    } else if (code == "EA") {
        m_pointer = data.size();
    } else if (code == "FE") {
        return Compare(Byte(rule, 2), reason);
    } else if (code == "B2") {
        size_t at = 2;
        return Compare(CountedBytes(rule, at, 4), reason);
    }
    return true;  // B8, EE, EF: nothing to see
}

SPreviewResult RunRules(const std::string& ruleText, const SSampleRead& read)
{
    SPreviewResult result;
    std::vector<std::string> rules;
    if (!SplitRules(ruleText, rules)) {
        result.reason = "invalid rule text";
        return result;
    }
    CRuleMachine machine(read);
    for (size_t i = 0; i < rules.size(); ++i) {
        if (!machine.Run(rules[i], result.reason)) {
            result.failedRule = i;
            return result;
        }
    }
    result.ok = true;
    result.output = machine.Output();
    result.shown = machine.ShownText();
    return result;
}

namespace {

std::string CountedText(const std::string& rule, size_t at, size_t digits)
{
    return "\"" + Shown(CountedBytes(rule, at, digits)) + "\"";
}

std::string KeyNames(const std::string& rule)
{
    std::string names;
    for (size_t at = 4; at + 4 <= rule.size(); at += 4) {
        const std::string modifiers = Byte(rule, at);
        const std::string usage = Byte(rule, at + 2);
        if (modifiers.size() == 1 && usage.size() == 1)
            names += (names.empty() ? "" : " ") +
                     KeyStrokeName(static_cast<uint8_t>(modifiers[0]), static_cast<uint8_t>(usage[0]));
    }
    return names;
}

}  // namespace

std::string DescribeRule(const std::string& rule)
{
    std::vector<std::string> split;
    if (!SplitRules(rule, split) || split.size() != 1)
        return "not a rule";
    const std::string code = rule.substr(0, 2);
    const auto n2 = [&rule](size_t at) { return std::to_string(Number(rule, at, 2)); };
    const auto ch = [&rule](size_t at) { return Shown(Byte(rule, at)); };
    if (code == "F1") return "send all remaining characters, then " + ch(2);
    if (code == "B9") return "send the characters before " + CountedText(rule, 2, 4);
    if (code == "F2") return "send " + n2(2) + " characters, then " + ch(4);
    if (code == "F3") return "send the characters up to " + ch(2) + ", then " + ch(4);
    if (code == "E9") return "send all remaining characters but the last " + n2(2);
    if (code == "F4") return "send " + ch(2) + " " + n2(4) + " times";
    if (code == "B3") return "insert the symbology name";
    if (code == "B4") return "insert the barcode length";
    if (code == "B5") return "insert " + n2(2) + " key strokes: " + KeyNames(rule);
    if (code == "B8") return "deprecated rule (no effect)";
    if (code == "EE") return "repeat " + n2(2) + " (not shown in the preview)";
    if (code == "E4") return "replace characters: " + CountedText(rule, 2, 2);
    if (code == "BA") {
        size_t at = 4;
        const std::string replaced = CountedBytes(rule, at, 2);
        const std::string replacement = CountedBytes(rule, at, 2);
        return "replace \"" + Shown(replaced) + "\" by \"" + Shown(replacement) + "\" " +
               (n2(2) == "0" ? std::string("every time") : n2(2) + " times");
    }
    if (code == "FB") return "suppress the characters " + CountedText(rule, 2, 2);
    if (code == "F8") return "search forward for " + ch(2);
    if (code == "E6") return "search forward for a character other than " + ch(2);
    if (code == "B0") return "search forward for " + CountedText(rule, 2, 4);
    if (code == "ED") return "search forward for a non-digit";
    if (code == "EC") return "search forward for a digit";
    if (code == "F9") return "search backward for " + ch(2);
    if (code == "E7") return "search backward for a character other than " + ch(2);
    if (code == "B1") return "search backward for " + CountedText(rule, 2, 4);
    if (code == "F5") return "move the pointer forward " + n2(2) + " characters";
    if (code == "F6") return "move the pointer backward " + n2(2) + " characters";
    if (code == "F7") return "move the pointer to the beginning";
    if (code == "EA") return "move the pointer to the end";
    if (code == "FE") return "compare the character " + ch(2) + " and skip it";
    if (code == "B2") return "compare the string " + CountedText(rule, 2, 4) + " and skip it";
    if (code == "EF") return "wait " + std::to_string(Number(rule, 2, 4) * 5) + " ms";
    return "not a rule";
}

std::string ShowControlChars(const std::string& bytes)
{
    static const char* const kNames[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT", "LF",
                                         "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                         "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    std::string shown;
    for (char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            shown += std::string("[") + kNames[byte] + "]";
        } else if (byte >= 0x7F) {
            char name[8];
            std::snprintf(name, sizeof name, "[0x%02x]", byte);
            shown += name;
        } else {
            shown += c;
        }
    }
    return shown;
}
