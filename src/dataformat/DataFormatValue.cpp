#include "DataFormatValue.h"

#include <cctype>
#include <cstdio>

namespace {

constexpr size_t kHeaderLength = 12;
constexpr size_t kShortestFormatLine = 26;
// "Data Format": the ":" of a format line stands after it.
constexpr size_t kLabelLength = 11;

std::string PadCode(const std::string& code)
{
    return code.size() >= 3 ? code : std::string(3 - code.size(), '0') + code;
}

bool AllDigits(const std::string& text)
{
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return !text.empty();
}

std::vector<std::string> Tokens(const std::string& value)
{
    std::vector<std::string> tokens;
    std::string token;
    for (char c : value) {
        if (c == ';' || c == '\r' || c == '\n') {
            if (token.size() >= kShortestFormatLine)
                tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (token.size() >= kShortestFormatLine)
        tokens.push_back(token);
    return tokens;
}

std::vector<std::string> SplitAtBars(const std::string& text)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
        pieces.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

}  // namespace

std::string ComposeUnitText(const SDataFormatUnit& unit)
{
    if (unit.rules.empty())
        return std::string();
    char length[16];
    std::snprintf(length, sizeof length, "%04d", unit.length);
    return std::to_string(unit.number) + "6999" + PadCode(unit.symbology) + length + unit.rules;
}

bool ParseUnitText(const std::string& text, bool numbered, SDataFormatUnit& unit)
{
    if (text.size() < kHeaderLength || !AllDigits(text.substr(8, 4)))
        return false;
    if (numbered && (text[0] < '0' || text[0] > '3'))
        return false;
    if (numbered)
        unit.number = text[0] - '0';
    unit.length = std::stoi(text.substr(8, 4));
    unit.symbology = text.substr(5, 3);
    unit.rules = text.substr(kHeaderLength);
    return true;
}

bool IsSymbologyCode(const std::string& unitCode, const std::string& entryValue)
{
    return !entryValue.empty() && PadCode(unitCode) == PadCode(entryValue);
}

std::string ComposeDataFormatValue(const std::vector<SDataFormatUnit>& units)
{
    std::string value;
    for (int number = 0; number < 4; ++number) {
        value += "Data Format " + std::to_string(number) + ":";
        bool first = true;
        for (const SDataFormatUnit& unit : units) {
            const std::string text = ComposeUnitText(unit);
            if (unit.number != number || text.empty())
                continue;
            value += (first ? "" : "|") + text;
            first = false;
        }
        value += ";\r\n";
    }
    return value;
}

std::vector<std::pair<int, std::string>> SplitDataFormatValue(const std::string& value, bool joined)
{
    std::vector<std::pair<int, std::string>> units;
    for (const std::string& token : Tokens(value)) {
        const size_t colon = token.find(':');
        if (colon == std::string::npos || colon < kLabelLength)
            continue;
        const char digit = token[colon - 1];
        if (digit < '0' || digit > '4')
            continue;
        const std::string text = token.substr(colon + 1);
        if (!joined) {
            units.emplace_back(digit - '0', text);
            continue;
        }
        for (const std::string& piece : SplitAtBars(text))
            units.emplace_back(digit - '0', piece);
    }
    return units;
}

std::vector<std::string> DataFormatLines(const std::string& value)
{
    std::vector<std::string> lines;
    for (const std::string& token : Tokens(value)) {
        const size_t colon = token.find(':');
        if (colon != std::string::npos && colon >= kLabelLength)
            lines.push_back(token.substr(colon + 1));
    }
    return lines;
}
