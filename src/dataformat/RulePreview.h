// What a scanner sends for one read once a data format's rules have run: a model of
// the scanner's rule machine, for showing a format's effect before it is written.
#pragma once

#include <string>
#include <vector>

struct SSampleRead {
    std::string data;       // the decoded bytes
    std::string symbology;  // the symbology's name (inserted by B3)
};

struct SPreviewResult {
    bool ok = false;       // false: the rules did not apply to this read (or are invalid)
    std::string output;    // what is sent, when ok
    std::string shown;     // the same for the eye: control characters and key strokes by name
    size_t failedRule = 0; // when not ok and the text was valid: index of the rule that failed
    std::string reason;    // when not ok: why, in words
};

// Runs `ruleText` on `read`. Never throws; any text gives an answer.
SPreviewResult RunRules(const std::string& ruleText, const SSampleRead& read);

// One rule in words, such as "send all remaining characters, then [CR]".
std::string DescribeRule(const std::string& rule);

// Bytes as readable text: printable ASCII as it is, others by name ("[CR]", "[0x81]").
std::string ShowControlChars(const std::string& bytes);
