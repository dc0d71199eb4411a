#include "RuleCodec.h"

#include <cctype>
#include <cstdio>

namespace {

constexpr size_t kMaxStringHex = 19999;
constexpr size_t kMaxCharListHex = 31;
constexpr size_t kMaxReplacedHex = 199;
constexpr size_t kMaxKeysHex = 399;

std::string Hex2(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string Decimal(size_t value, int digits)
{
    char text[24];
    std::snprintf(text, sizeof text, "%0*zu", digits, value);
    return text;
}

bool IsDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// A count or times field: at most two digits, written with two.
bool CountText(const std::string& field, std::string& text)
{
    if (!IsDigits(field) || field.size() > 2)
        return false;
    text = field.size() < 2 ? "0" + field : field;
    return true;
}

bool NumberText(const SRuleDefinition& definition, const std::string& field, std::string& text)
{
    if (!IsDigits(field) || field.size() > 9 || std::stol(field) > definition.maximum)
        return false;
    text = Decimal(static_cast<size_t>(std::stol(field)), definition.digits);
    return true;
}

bool IsHexText(const std::string& text)
{
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// Fields that may stay empty: the new string of a string replacement (the old one
// is then removed).
bool IsOptionalField(const SRuleDefinition& definition, size_t index)
{
    return definition.kind == ERuleKind::ReplaceString && index == 2;
}

bool EncodeParameters(const SRuleDefinition& definition, const std::vector<std::string>& fields,
                      const CSpecialChars& names, std::string& parameters)
{
    std::string count;
    switch (definition.kind) {
    case ERuleKind::Bare:
        return true;
    case ERuleKind::Char:
        parameters = CharValueHex(fields[0], names);
        return true;
    case ERuleKind::CharChar:
        parameters = CharValueHex(fields[0], names) + CharValueHex(fields[1], names);
        return true;
    case ERuleKind::CountChar:
        if (!CountText(fields[0], count))
            return false;
        parameters = count + CharValueHex(fields[1], names);
        return true;
    case ERuleKind::CharCount:
        if (!CountText(fields[1], count))
            return false;
        parameters = CharValueHex(fields[0], names) + count;
        return true;
    case ERuleKind::Number:
        return NumberText(definition, fields[0], parameters);
    case ERuleKind::String: {
        const std::string hex = TextToHex(fields[0], names);
        if (hex.size() > kMaxStringHex)
            return false;
        parameters = Decimal(hex.size() / 2, 4) + hex;
        return true;
    }
    case ERuleKind::CharList:
    case ERuleKind::CharListPair: {
        std::string hex = TextToHex(fields[0], names);
        if (definition.kind == ERuleKind::CharListPair)
            hex += TextToHex(fields[1], names);
        if (hex.size() > kMaxCharListHex)
            return false;
        parameters = Decimal(hex.size() / 2, 2) + hex;
        return true;
    }
    case ERuleKind::ReplaceString: {
        const std::string replaced = TextToHex(fields[1], names);
        const std::string replacement = TextToHex(fields[2], names);
        // The new string's count has two digits as well, so it is held to the same size.
        if (!CountText(fields[0], count) || replaced.size() > kMaxReplacedHex || replacement.size() > kMaxReplacedHex)
            return false;
        parameters = count + Decimal(replaced.size() / 2, 2) + replaced + Decimal(replacement.size() / 2, 2) + replacement;
        return true;
    }
    case ERuleKind::Keys: {
        // The key pad writes each key as four hexadecimal digits: modifier and key code.
        const std::string& keys = fields[0];
        if (keys.size() > kMaxKeysHex || keys.size() % 4 != 0 || !IsHexText(keys))
            return false;
        parameters = Decimal(keys.size() / 4, 2) + keys;
        return true;
    }
    }
    return false;
}

// Reads the parameters of one rule off a rule text, by the layout of its code. The
// first character that does not fit is remembered, so that the user is told which.
class CRuleReader {
public:
    CRuleReader(const std::string& text, size_t position) : m_text(text), m_position(position) {}

    size_t Position() const { return m_position; }
    // Where the rule went wrong: the character, or the text's end when it is cut short.
    size_t FaultPosition() const { return m_fault; }
    // Bytes are written as pairs of hexadecimal digits; anything else would be
    // re-encoded into another byte by the editor ("zz" is no byte).
    bool Hex(size_t count) { return Take(count, [](unsigned char c) { return std::isxdigit(c) != 0; }); }
    bool Digits(size_t count) { return Take(count, [](unsigned char c) { return std::isdigit(c) != 0; }); }
    // A decimal count of `digits` digits, at most `maximum`, then `count × width`
    // hexadecimal digits.
    bool Counted(size_t digits, size_t maximum, size_t width)
    {
        const size_t start = m_position;
        if (!Digits(digits))
            return false;
        const size_t count = std::stoul(m_text.substr(start, digits));
        if (count > maximum) {
            m_fault = start;
            return false;
        }
        return Hex(count * width);
    }

private:
    template <typename Test>
    bool Take(size_t count, Test test)
    {
        for (size_t i = 0; i < count; ++i) {
            if (m_position + i >= m_text.size() || !test(static_cast<unsigned char>(m_text[m_position + i]))) {
                m_fault = m_position + i;
                return false;
            }
        }
        m_position += count;
        return true;
    }

    const std::string& m_text;
    size_t m_position;
    size_t m_fault = 0;
};

bool ReadParameters(const std::string& code, CRuleReader& reader)
{
    auto is = [&code](std::initializer_list<const char*> codes) {
        for (const char* c : codes) {
            if (code == c)
                return true;
        }
        return false;
    };
    if (is({"F1", "F8", "F9", "FE", "E6", "E7"}))
        return reader.Hex(2);
    if (is({"E9", "F5", "F6", "EE"}))
        return reader.Digits(2);
    if (is({"EF"}))
        return reader.Digits(4);
    if (is({"B3", "B4", "F7", "EA", "ED", "EC", "B8"}))
        return true;
    if (is({"F2"}))
        return reader.Digits(2) && reader.Hex(2);
    if (is({"F3"}))
        return reader.Hex(4);
    if (is({"F4"}))
        return reader.Hex(2) && reader.Digits(2);
    if (is({"E4", "FB"}))
        return reader.Counted(2, 15, 2);
    if (is({"B0", "B1", "B2", "B9"}))
        return reader.Counted(4, 9999, 2);
    if (is({"B5"}))
        return reader.Counted(2, 99, 4);
    if (is({"BA"}))
        return reader.Digits(2) && reader.Counted(2, 99, 2) && reader.Counted(2, 99, 2);
    return false;
}

// Whether a byte cannot stand in a field as itself and is shown by its pad name.
bool NeedsName(uint8_t byte)
{
    return byte <= 0x20 || byte >= 0x7F;
}

// One "%02X" pair as a field character: a byte that cannot be typed by its pad name
// when it has one. A printable character stays itself, also where the key pad names
// a key with its code ("[F8]" is 0x41, which is "A").
std::string PairAsText(const std::string& pair, const CSpecialChars& names)
{
    std::string byte;
    if (!HexToBytes(pair, byte))
        return pair;
    const uint8_t value = static_cast<uint8_t>(byte[0]);
    const std::string name = NeedsName(value) ? names.NameOf(value) : std::string();
    return name.empty() ? byte : name;
}

std::string DecimalText(const std::string& digits)
{
    return IsDigits(digits) && digits.size() <= 9 ? std::to_string(std::stol(digits)) : digits;
}

// The hexadecimal text after a count of `digits` digits at `position`, and the
// position after it.
std::string CountedHex(const std::string& rule, size_t& position, size_t digits, size_t width)
{
    const size_t count = std::stoul(rule.substr(position, digits));
    const std::string hex = rule.substr(position + digits, count * width);
    position += digits + count * width;
    return hex;
}

void FieldsOfRule(const SRuleDefinition& definition, const std::string& rule, const CSpecialChars& names,
                  std::vector<std::string>& fields)
{
    const std::string p = rule.substr(2);
    size_t position = 2;
    switch (definition.kind) {
    case ERuleKind::Bare:
        return;
    case ERuleKind::Char:
        fields = {PairAsText(p.substr(0, 2), names)};
        return;
    case ERuleKind::CharChar:
        fields = {PairAsText(p.substr(0, 2), names), PairAsText(p.substr(2, 2), names)};
        return;
    case ERuleKind::CountChar:
        fields = {DecimalText(p.substr(0, 2)), PairAsText(p.substr(2, 2), names)};
        return;
    case ERuleKind::CharCount:
        fields = {PairAsText(p.substr(0, 2), names), DecimalText(p.substr(2, 2))};
        return;
    case ERuleKind::Number:
        fields = {DecimalText(p)};
        return;
    case ERuleKind::String:
        fields = {HexAsText(CountedHex(rule, position, 4, 2), names)};
        return;
    case ERuleKind::CharList:
        fields = {HexAsText(CountedHex(rule, position, 2, 2), names)};
        return;
    case ERuleKind::CharListPair: {
        // The two fields were written one after the other; the first half of the
        // characters is taken as the searched ones, the second as their replacements.
        const std::string hex = CountedHex(rule, position, 2, 2);
        const size_t firstBytes = (hex.size() / 2 + 1) / 2;
        fields = {HexAsText(hex.substr(0, firstBytes * 2), names), HexAsText(hex.substr(firstBytes * 2), names)};
        return;
    }
    case ERuleKind::ReplaceString: {
        const std::string times = DecimalText(p.substr(0, 2));
        position = 4;
        const std::string replaced = CountedHex(rule, position, 2, 2);
        const std::string replacement = CountedHex(rule, position, 2, 2);
        fields = {times, HexAsText(replaced, names), HexAsText(replacement, names)};
        return;
    }
    case ERuleKind::Keys:
        fields = {CountedHex(rule, position, 2, 4)};
        return;
    }
}

}  // namespace

std::string HexAsText(const std::string& hex, const CSpecialChars& names)
{
    std::string text;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        text += PairAsText(hex.substr(i, 2), names);
    return text;
}

std::string CharValueHex(const std::string& field, const CSpecialChars& names)
{
    if (field.empty())
        return std::string();
    uint8_t byte = 0;
    if (names.Find(field, byte))
        return Hex2(byte);
    return Hex2(static_cast<unsigned char>(field[0]));
}

std::string TextToHex(const std::string& text, const CSpecialChars& names)
{
    std::string hex;
    std::string group;  // an open bracket group, "[" included
    for (char c : text) {
        if (!group.empty()) {
            group += c;
            if (c != ']')
                continue;
            uint8_t byte = 0;
            if (names.Find(group, byte)) {
                hex += Hex2(byte);
            } else {
                for (char member : group)
                    hex += Hex2(static_cast<unsigned char>(member));
            }
            group.clear();
        } else if (c == '[') {
            group = "[";
        } else {
            hex += Hex2(static_cast<unsigned char>(c));
        }
    }
    for (char member : group)
        hex += Hex2(static_cast<unsigned char>(member));
    return hex;
}

SEncodedRule EncodeRule(const SRuleDefinition& definition, const std::vector<std::string>& fields,
                        const CSpecialChars& names)
{
    SEncodedRule result;
    std::vector<std::string> all = fields;
    all.resize(definition.fields.size());
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].empty() && !IsOptionalField(definition, i)) {
            result.status = EEncodeStatus::EmptyField;
            result.emptyField = i;
            return result;
        }
    }
    std::string parameters;
    if (!EncodeParameters(definition, all, names, parameters)) {
        result.status = EEncodeStatus::LimitOverrun;
        return result;
    }
    result.rule = definition.code + parameters;
    return result;
}

bool SplitRules(const std::string& text, std::vector<std::string>& rules)
{
    SRuleFault fault;
    return SplitRules(text, rules, fault);
}

bool SplitRules(const std::string& text, std::vector<std::string>& rules, SRuleFault& fault)
{
    rules.clear();
    size_t position = 0;
    while (position < text.size()) {
        fault.rule = rules.size();
        fault.ruleStart = position;
        CRuleReader reader(text, position + 2);
        if (text.size() - position < 2) {
            fault.position = text.size();
            break;
        }
        if (!ReadParameters(text.substr(position, 2), reader)) {
            fault.position = FindRuleDefinition(text.substr(position, 2)) ? reader.FaultPosition() : position;
            break;
        }
        rules.push_back(text.substr(position, reader.Position() - position));
        position = reader.Position();
    }
    if (position == text.size())
        return true;
    rules.clear();
    return false;
}

std::string DescribeRuleFault(const std::string& text, const SRuleFault& fault)
{
    const std::string rule = text.substr(fault.ruleStart, 24);
    std::string where = "rule " + std::to_string(fault.rule + 1) + " (" + rule + (rule.size() == 24 ? "...)" : ")");
    if (fault.position >= text.size())
        return where + " is cut short";
    return where + ": character " + std::to_string(fault.position + 1) + " \"" + text[fault.position] +
           "\" does not belong there";
}

bool ParseRuleFields(const std::string& rule, const CSpecialChars& names, std::vector<std::string>& fields)
{
    fields.clear();
    std::vector<std::string> rules;
    if (!SplitRules(rule, rules) || rules.size() != 1)
        return false;
    const SRuleDefinition* definition = FindRuleDefinition(rule.substr(0, 2));
    if (!definition)
        return false;
    FieldsOfRule(*definition, rule, names, fields);
    return true;
}

bool HexToBytes(const std::string& hex, std::string& bytes)
{
    bytes.clear();
    if (hex.size() % 2 != 0 || !IsHexText(hex))
        return false;
    for (size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
    return true;
}
