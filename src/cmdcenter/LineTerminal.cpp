#include "LineTerminal.h"

ETerminalLineAction DecideTerminalLine(const wxString& line)
{
    if (line.empty() || line.Contains("Device:"))
        return ETerminalLineAction::KEEP_TYPING;
    if (line.length() > kLongestTerminalLine)
        return ETerminalLineAction::END_MODE;
    return ETerminalLineAction::SEND;
}
