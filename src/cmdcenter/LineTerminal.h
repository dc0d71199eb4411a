// The line terminal a scanner offers after "CLIENA1": what becomes of a line the
// user finishes with Enter.
#pragma once

#include <wx/string.h>

enum class ETerminalLineAction {
    KEEP_TYPING,  // nothing is sent and the mode stays (an empty line, an echo of device output)
    SEND,         // written with CR; "exit" in it ends the mode after the scanner has it
    END_MODE      // too long for the scanner's line buffer: not sent, and the mode ends
};

constexpr size_t kLongestTerminalLine = 64;

ETerminalLineAction DecideTerminalLine(const wxString& line);
