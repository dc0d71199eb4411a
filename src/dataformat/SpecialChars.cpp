#include "SpecialChars.h"

#include <cstdio>

namespace {

const char* const kControlNames[] = {"NULL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT", "LF",
                                     "VT",   "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                     "SYN",  "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SPC"};

CSpecialChars BuildAsciiPad()
{
    CSpecialChars table;
    for (unsigned byte = 0; byte <= 0x20; ++byte)
        table.Add(std::string("[ ") + kControlNames[byte] + "]", static_cast<uint8_t>(byte));
    for (unsigned byte = 0x7F; byte <= 0xFF; ++byte) {
        char name[8];
        std::snprintf(name, sizeof name, "[0x%0x]", byte);
        table.Add(name, static_cast<uint8_t>(byte));
    }
    return table;
}

}  // namespace

const CSpecialChars& CSpecialChars::AsciiPad()
{
    static const CSpecialChars table = BuildAsciiPad();
    return table;
}

void CSpecialChars::Add(const std::string& name, uint8_t byte)
{
    // The first of two keys with one legend (Enter and the keypad's Enter) keeps it,
    // and the first name of a byte is the one shown.
    m_bytes.emplace(name, byte);
    m_names.emplace(byte, name);
}

bool CSpecialChars::Find(const std::string& name, uint8_t& byte) const
{
    const auto it = m_bytes.find(name);
    if (it == m_bytes.end())
        return false;
    byte = it->second;
    return true;
}

std::string CSpecialChars::NameOf(uint8_t byte) const
{
    const auto it = m_names.find(byte);
    return it == m_names.end() ? std::string() : it->second;
}
