// Why a port that exists cannot be opened by this user, and how to change that: the
// group a serial port belongs to (usually "dialout"), or the package's udev rule for
// USB point-of-sale scanners.
#pragma once

#include <wx/string.h>

#include <string>
#include <vector>

struct SDeviceAccessFacts {
    bool permitted = true;  // this process may read and write the device node
    bool hid = false;       // a USB HID node ("/dev/hidraw*")
    wxString group;         // the node's group, when it has a name
};

// What the system says about `path`; a path that is no local device node is permitted.
SDeviceAccessFacts ReadDeviceAccessFacts(const std::string& path);

// The help for a port this user may not open; empty when permission is not the problem.
wxString DeviceAccessHelp(const std::string& path, const SDeviceAccessFacts& facts);
wxString DeviceAccessHelp(const std::string& path);

// When no scanner was found: the help for the first serial adapter and the first USB
// HID node this user may not open, one line each; empty when every node may be opened.
struct SDeviceNode {
    std::string path;
    SDeviceAccessFacts facts;
};
wxString InaccessibleDevicesHelp(const std::vector<SDeviceNode>& nodes);
// The same for the adapters and HID nodes present ("/dev/ttyUSB*", "/dev/ttyACM*", "/dev/hidraw*").
wxString InaccessibleDevicesHelp();
