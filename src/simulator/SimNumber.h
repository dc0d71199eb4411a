// Whole numbers in setting values: plain decimal, or hexadecimal digits for hex settings.
#pragma once

#include <string>

// True when `text` is an optional "-" and decimal digits only (and fits a long).
bool ParseDecimal(const std::string& text, long& number);

// True when `text` is hexadecimal digits only (and fits an unsigned long long).
bool ParseHex(const std::string& text, unsigned long long& number);
