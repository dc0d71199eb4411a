// One data format (a unit: number, symbology, length, rules) as the text the scanner
// takes, and the value of a data-format setting that holds up to four numbers of
// them, one labelled line per number.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct SDataFormatUnit {
    int number = 0;                 // 0-3
    std::string symbology = "999";  // the symbology's code, "999" for every symbology
    int length = 9999;              // barcode length, 9999 for any length
    std::string rules;              // rule text
};

// Number, "6999" (any terminal), symbology code padded to 3 with "0", length as 4
// digits, rules. Empty when the unit has no rules.
std::string ComposeUnitText(const SDataFormatUnit& unit);

// Reads a unit text into `unit`. False, with `unit` unchanged, for a text shorter
// than 12 characters, a length that is not four digits, or (with `numbered`, the
// "DFMADD" form) a format number that is not 0-3. `unit.symbology` gets the text's
// three code characters as they stand.
bool ParseUnitText(const std::string& text, bool numbered, SDataFormatUnit& unit);

// Whether a unit's symbology code is `entryValue` (codes compare with their padding).
bool IsSymbologyCode(const std::string& unitCode, const std::string& entryValue);

// "Data Format N:" lines for N = 0-3, each with the unit texts of that number in
// list order joined by "|", and ";\r\n".
std::string ComposeDataFormatValue(const std::vector<SDataFormatUnit>& units);

// The unit texts of a value, with the number of the line each stands on, in value
// order. Lines of 25 characters or fewer are no format lines. With `joined`
// ("DFMADD") a line may hold several unit texts joined by "|"; otherwise the whole
// text after the ":" is one unit text.
std::vector<std::pair<int, std::string>> SplitDataFormatValue(const std::string& value, bool joined);

// The text after the ":" of each format line longer than 25 characters: what is sent
// after the data-format command, one command per line.
std::vector<std::string> DataFormatLines(const std::string& value);
