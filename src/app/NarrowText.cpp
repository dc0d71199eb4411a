#include "NarrowText.h"

// Written by hand rather than through wxCSConv(ISO-8859-1): that converter fails the
// whole text when one character does not fit, and a command text must still go out
// with the rest of its characters intact.
std::string ToNarrow(const wchar_t* text, size_t length)
{
    std::string bytes;
    bytes.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        bytes.push_back(static_cast<unsigned long>(c) <= 0xFF ? static_cast<char>(c) : '?');
    }
    return bytes;
}

bool IsNarrowText(const wchar_t* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned long>(text[i]) > 0xFF)
            return false;
    }
    return true;
}

std::wstring FromNarrow(const uint8_t* bytes, size_t length)
{
    std::wstring text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i)
        text.push_back(static_cast<wchar_t>(bytes[i]));
    return text;
}
