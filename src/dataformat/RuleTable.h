// The vocabulary of data-format rules: every rule kind the scanner knows, with the
// texts and limits the editor shows for it and the way its parameters are encoded.
// Plain C++ so that the simulator can share it with the tool.
#pragma once

#include <string>
#include <vector>

// How a rule's fields become its parameter text.
enum class ERuleKind {
    Bare,           // no parameters
    Char,           // one character, two hexadecimal digits
    CharChar,       // two characters
    CountChar,      // count (2 digits), then a character
    CharCount,      // a character, then a count (2 digits)
    Number,         // a number of the rule's digit count
    String,         // byte count (4 digits) and the bytes in hexadecimal
    CharList,       // byte count (2 digits) and the bytes in hexadecimal
    CharListPair,   // as CharList, the text of the first field followed by the second
    ReplaceString,  // times, old string and new string with 2-digit byte counts
    Keys,           // key count (2 digits) and four hexadecimal digits per key
};

// A text shown by the editor: its identifier in the text table and the built-in text.
struct SRuleText {
    const char* id;
    const char* text;
};

struct SRuleDefinition {
    std::string code;  // two upper-case characters
    int group = 0;     // index into RuleGroups()
    int position = 0;  // 1-based place in its group
    SRuleText name;
    std::vector<SRuleText> fields;  // at most three
    const char* helpId = "";
    int maximum = 0;  // numeric rules: largest value
    int digits = 0;   // numeric rules: digits written
    ERuleKind kind = ERuleKind::Bare;
};

// Group headers of the rule menu, in menu order.
const std::vector<SRuleText>& RuleGroups();
// Every rule kind in menu order.
const std::vector<SRuleDefinition>& RuleDefinitions();
// The definition of `code`, or null.
const SRuleDefinition* FindRuleDefinition(const std::string& code);
