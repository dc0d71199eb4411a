#include "KeyStrokes.h"

#include <cstdio>

namespace {

constexpr uint8_t kCtrl = 0x11;   // left and right
constexpr uint8_t kShift = 0x22;
constexpr uint8_t kAlt = 0x44;
constexpr uint8_t kGui = 0x88;

// Keys 0x1E-0x38 of the US layout, unshifted and shifted (0x28-0x2C are named keys).
constexpr char kDigitRow[] = "1234567890";
constexpr char kDigitRowShifted[] = "!@#$%^&*()";
constexpr char kPunctuation[] = "-=[]\\#;'`,./";
constexpr char kPunctuationShifted[] = "_+{}|~:\"~<>?";

struct SNamedKey {
    uint8_t usage;
    const char* name;
};

// Keys that are shown by name; the comments of the key pad files use the same legends.
constexpr SNamedKey kNamedKeys[] = {
    {0x28, "Enter"},  {0x29, "Esc"},    {0x2A, "Backspace"}, {0x2B, "Tab"},   {0x39, "Caps"},   {0x46, "PrtSc"},
    {0x47, "ScrLk"},  {0x48, "Pause"},  {0x49, "Ins"},       {0x4A, "Home"},  {0x4B, "PgUp"},   {0x4C, "Del"},
    {0x4D, "End"},    {0x4E, "PgDn"},   {0x4F, "Right"},     {0x50, "Left"},  {0x51, "Down"},   {0x52, "Up"},
    {0x53, "NumLk"},  {0x58, "Enter"},  {0x65, "Menu"},      {0xE0, "LCtrl"}, {0xE1, "LShift"}, {0xE2, "LAlt"},
    {0xE3, "LWin"},   {0xE4, "RCtrl"},  {0xE5, "RShift"},    {0xE6, "RAlt"},  {0xE7, "RWin"}};

// The character a printing key types; 0 for keys that do not print.
char PrintedChar(uint8_t usage, bool shift)
{
    if (usage >= 0x04 && usage <= 0x1D)
        return static_cast<char>((shift ? 'A' : 'a') + (usage - 0x04));
    if (usage >= 0x1E && usage <= 0x27)
        return (shift ? kDigitRowShifted : kDigitRow)[usage - 0x1E];
    if (usage == 0x2C)
        return ' ';
    if (usage >= 0x2D && usage <= 0x38)
        return (shift ? kPunctuationShifted : kPunctuation)[usage - 0x2D];
    // The number block, with Num Lock on as a scanner's keyboard wedge assumes.
    static const char kKeypad[] = "/*-+\r1234567890.";
    if (usage >= 0x54 && usage <= 0x63)
        return kKeypad[usage - 0x54];
    return 0;
}

std::string ControlChar(uint8_t usage)
{
    switch (usage) {
    case 0x28:
    case 0x58:
        return "\r";
    case 0x29:
        return "\x1b";
    case 0x2A:
        return "\b";
    case 0x2B:
        return "\t";
    default:
        return std::string();
    }
}

std::string BaseName(uint8_t usage)
{
    for (const SNamedKey& key : kNamedKeys) {
        if (key.usage == usage)
            return key.name;
    }
    if (usage >= 0x3A && usage <= 0x45)
        return "F" + std::to_string(usage - 0x3A + 1);
    const char printed = PrintedChar(usage, true);
    if (printed != 0 && printed != '\r')
        return usage == 0x2C ? "Space" : std::string(1, printed);
    char name[16];
    std::snprintf(name, sizeof name, "Key 0x%02X", usage);
    return name;
}

}  // namespace

std::string KeyStrokeName(uint8_t modifiers, uint8_t usage)
{
    const bool shift = (modifiers & kShift) != 0;
    const bool chord = (modifiers & (kCtrl | kAlt | kGui)) != 0;
    const char printed = PrintedChar(usage, shift);
    if (!chord && printed != 0 && printed != '\r')
        return std::string(1, printed);
    std::string name;
    if (modifiers & kCtrl)
        name += "Ctrl+";
    if (modifiers & kAlt)
        name += "Alt+";
    if (modifiers & kGui)
        name += "Win+";
    // A shifted printing key already says so by its character.
    if (shift && (printed == 0 || printed == '\r'))
        name += "Shift+";
    return "[" + name + BaseName(usage) + "]";
}

std::string KeyStrokeText(uint8_t modifiers, uint8_t usage)
{
    if (modifiers & (kCtrl | kAlt | kGui))
        return std::string();
    const char printed = PrintedChar(usage, (modifiers & kShift) != 0);
    return printed != 0 ? std::string(1, printed) : ControlChar(usage);
}
