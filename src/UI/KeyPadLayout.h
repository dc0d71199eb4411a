// The key layouts of the on-screen key pad: one file per keyboard ("keypad_us.xml",
// "keypad_European.xml" under Config/keyboard), each key a rectangle in pad pixels,
// a key code and the text printed under it.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <vector>

struct SKeyRecord {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    uint32_t keyValue = 0;
    wxString label;       // "%02X" of the key code's low byte
    wxString bottomText;  // the text printed on the key
    wxString label2;      // same as label
};

struct SKeyPadLayout {
    std::vector<SKeyRecord> keys;  // sized to the layout's capacity
    size_t count = 0;              // keys read
    int32_t width = 0;             // pad extent: largest right edge + 2
    int32_t height = 0;            // largest bottom edge + 2
};

class CKeyPadLayout {
public:
    static constexpr size_t kUsCapacity = 104;
    static constexpr size_t kEuropeanCapacity = 105;

    // Reads one layout file into `layout.keys`, at most `count` keys (the capacity
    // on entry), each moved down by `verticalOffset`. On success `count` is the
    // number read when below the capacity. A file that cannot be read is logged and
    // changes nothing.
    static bool LoadLayout(const wxString& path, std::vector<SKeyRecord>& keys, size_t& count, int32_t verticalOffset,
                           int32_t& width, int32_t& height);
    // The two files of a program directory.
    static wxString UsLayoutPath();
    static wxString EuropeanLayoutPath();
};
