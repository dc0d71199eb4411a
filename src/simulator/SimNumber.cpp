#include "SimNumber.h"

#include <cerrno>
#include <cstdlib>

namespace {

// strtol alone accepts leading blanks and "+"; setting values must be digits only.
bool OnlyDigits(const std::string& text, size_t from, bool hex)
{
    if (text.size() <= from)
        return false;
    for (size_t i = from; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool digit = c >= '0' && c <= '9';
        const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !(hex && hexLetter))
            return false;
    }
    return true;
}

}  // namespace

bool ParseDecimal(const std::string& text, long& number)
{
    const size_t from = !text.empty() && text[0] == '-' ? 1 : 0;
    if (!OnlyDigits(text, from, false))
        return false;
    errno = 0;
    number = std::strtol(text.c_str(), nullptr, 10);
    return errno == 0;
}

bool ParseHex(const std::string& text, unsigned long long& number)
{
    if (!OnlyDigits(text, 0, true))
        return false;
    errno = 0;
    number = std::strtoull(text.c_str(), nullptr, 16);
    return errno == 0;
}
