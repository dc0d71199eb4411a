// Rule texts: encoding the editor's fields into a rule, checking and splitting a
// whole rule text, and reading a rule back into its fields. Field texts are narrow
// (one byte per character, the program's narrow encoding).
#pragma once

#include "RuleTable.h"
#include "SpecialChars.h"

#include <string>
#include <vector>

// "%02X" of the field's character: a special-character name's byte, else the first
// character's code. Empty for an empty field.
std::string CharValueHex(const std::string& field, const CSpecialChars& names);

// Every byte of `text` as "%02X"; a bracket group whose whole text is a known name
// stands for its byte.
std::string TextToHex(const std::string& text, const CSpecialChars& names);
// The field text of "%02X" pairs: characters as themselves, the bytes that cannot be
// typed by their names in `names` when they have one.
std::string HexAsText(const std::string& hex, const CSpecialChars& names);

enum class EEncodeStatus { Ok, EmptyField, LimitOverrun };

struct SEncodedRule {
    EEncodeStatus status = EEncodeStatus::Ok;
    size_t emptyField = 0;  // with EmptyField: the index of the field
    std::string rule;       // with Ok: code and parameters
};

// The rule of kind `definition` with the fields `fields` (one per field label).
SEncodedRule EncodeRule(const SRuleDefinition& definition, const std::vector<std::string>& fields,
                        const CSpecialChars& names);

// Checks a whole rule text and cuts it into rules. An empty text is valid and has
// no rules; any fault makes the whole text invalid and leaves `rules` empty.
bool SplitRules(const std::string& text, std::vector<std::string>& rules);

// Where a rule text went wrong: the rule (index and start) and the character that
// does not fit; a position at the text's end means the last rule is cut short.
struct SRuleFault {
    size_t rule = 0;
    size_t ruleStart = 0;
    size_t position = 0;
};
bool SplitRules(const std::string& text, std::vector<std::string>& rules, SRuleFault& fault);
// The fault in words, such as: rule 1 (F1zz): character 3 "z" does not belong there.
std::string DescribeRuleFault(const std::string& text, const SRuleFault& fault);

// The field texts of one rule (as SplitRules gives it), for editing: characters
// with their pad names where they have one, counts and numbers in decimal.
// False for a text that is not one rule of a known code.
bool ParseRuleFields(const std::string& rule, const CSpecialChars& names, std::vector<std::string>& fields);

// The bytes a hexadecimal text stands for; false when a pair is no hexadecimal number.
bool HexToBytes(const std::string& hex, std::string& bytes);
