// Key strokes of a data-format rule: a modifier byte and a USB keyboard usage, as the
// key pad writes them. A key is shown by its name and sends the character it types
// on a US keyboard.
#pragma once

#include <cstdint>
#include <string>

// "A" for Shift+A, "a", "[Enter]", "[Shift+Tab]", "[Ctrl+C]", "[Key 0x70]".
std::string KeyStrokeName(uint8_t modifiers, uint8_t usage);

// What the key types into a text: "\r" for Enter, "A" for Shift+A; empty for keys
// that type nothing (F1, arrows) and for Ctrl, Alt and GUI combinations.
std::string KeyStrokeText(uint8_t modifiers, uint8_t usage);
