// Names of characters that cannot be typed into a field, as the on-screen pads show
// them: "[ CR]" for the byte 0x0D. A rule field holds either one character or such
// a name.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class CSpecialChars {
public:
    // The ASCII pad's names: "[ NULL]" ... "[ US]", "[ SPC]" for 0x00-0x20 and
    // "[0x7f]" ... "[0xff]" for the bytes above the printable range.
    static const CSpecialChars& AsciiPad();

    // Names and bytes already known keep their first partner.
    void Add(const std::string& name, uint8_t byte);
    // Whether `name` (brackets included) is a known name; `byte` gets its value.
    bool Find(const std::string& name, uint8_t& byte) const;
    // The name of `byte`, or empty when it has none.
    std::string NameOf(uint8_t byte) const;

private:
    std::map<std::string, uint8_t> m_bytes;
    std::map<uint8_t, std::string> m_names;
};
