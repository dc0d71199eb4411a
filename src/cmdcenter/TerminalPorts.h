// The ports the command page offers: every serial port the system lists (with the
// ports given by path and the simulated scanners) and every USB point-of-sale
// interface, named as on this platform, and opening one with chosen line settings.
#pragma once

#include "hbds/hbds.h"

#include <wx/string.h>

#include <vector>

struct STerminalPort {
    bool serial = true;
    SerialSettings serialPort{};
    UsbDeviceInfo usbDevice{};
    wxString label;  // "/dev/ttyUSB0", "sim:HBS-HI880", "HidPos 1 (product)"
};

// USB interfaces first, then serial ports, each in the library's order.
std::vector<STerminalPort> ListTerminalPorts();

// Closes the link's current device and opens `port`; a serial port takes the line
// settings given. False when it cannot be opened, with the library's code in `status`.
bool OpenTerminalPort(const STerminalPort& port, const SerialSettings& line, uint32_t& status);
// The USB names of the platform's enumeration: "HidPos %d", "HidPosMi %d", "DataPipe %d".
wxString UsbPortLabel(const UsbDeviceInfo& device, int number);
