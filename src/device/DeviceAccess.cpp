#include "DeviceAccess.h"

#include "app/UiText.h"

#include <glob.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

SDeviceAccessFacts ReadDeviceAccessFacts(const std::string& path)
{
    SDeviceAccessFacts facts;
    struct stat node {};
    if (path.empty() || path.find("://") != std::string::npos || stat(path.c_str(), &node) != 0)
        return facts;
    facts.permitted = access(path.c_str(), R_OK | W_OK) == 0;
    facts.hid = path.rfind("/dev/hidraw", 0) == 0;
    if (const group* owner = getgrgid(node.st_gid))
        facts.group = wxString::FromUTF8(owner->gr_name);
    return facts;
}

wxString DeviceAccessHelp(const std::string& path, const SDeviceAccessFacts& facts)
{
    if (facts.permitted)
        return wxString();
    const wxString port = wxString::FromUTF8(path);
    if (facts.hid) {
        const wxString format = GetUiText(
            "ID_DEVICE_ACCESS_HID",
            "You may not open %s. USB scanners are opened for the logged-in user by the udev rule "
            "70-vostrel-scanners.rules of the vostrel package: install the package (or copy the rule to "
            "/etc/udev/rules.d/ and run \"sudo udevadm control --reload\"), then plug the scanner in again.");
        return wxString::Format(format, port);
    }
    const wxString group = facts.group.empty() ? wxString("dialout") : facts.group;
    const wxString format = GetUiText("ID_DEVICE_ACCESS_SERIAL",
                                      "You may not open %s: it belongs to the group \"%s\", which this login is not "
                                      "in. Add yourself with \"sudo usermod -aG %s $USER\", then log out and in again.");
    return wxString::Format(format, port, group, group);
}

wxString DeviceAccessHelp(const std::string& path)
{
    return DeviceAccessHelp(path, ReadDeviceAccessFacts(path));
}

wxString InaccessibleDevicesHelp(const std::vector<SDeviceNode>& nodes)
{
    wxString help;
    bool serialTold = false;
    bool hidTold = false;
    for (const SDeviceNode& node : nodes) {
        bool& told = node.facts.hid ? hidTold : serialTold;
        if (node.facts.permitted || told)
            continue;
        told = true;
        help += DeviceAccessHelp(node.path, node.facts) + "\n";
    }
    return help;
}

wxString InaccessibleDevicesHelp()
{
    std::vector<SDeviceNode> nodes;
    for (const char* pattern : {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/hidraw*"}) {
        glob_t found{};
        if (glob(pattern, 0, nullptr, &found) == 0) {
            for (size_t i = 0; i < found.gl_pathc; ++i)
                nodes.push_back({found.gl_pathv[i], ReadDeviceAccessFacts(found.gl_pathv[i])});
        }
        globfree(&found);
    }
    return InaccessibleDevicesHelp(nodes);
}
