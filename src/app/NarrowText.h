// The one narrow encoding of the program: every byte stands for the character of
// the same number (U+0000 to U+00FF) and back, so nothing received from a scanner
// is lost on the way into text and out again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Bytes for wide text; characters above U+00FF, which the encoding cannot carry,
// become "?".
std::string ToNarrow(const wchar_t* text, size_t length);

// Whether every character of the text has a byte of its own, so that ToNarrow
// sends it as written rather than as "?".
bool IsNarrowText(const wchar_t* text, size_t length);

// Wide text for bytes, one character per byte.
std::wstring FromNarrow(const uint8_t* bytes, size_t length);
