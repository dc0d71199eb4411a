// The help for a port this user may not open names the missing group or rule; a port
// that is only busy, or no local node at all, gets none.
#include "device/DeviceAccess.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SAccessCase {
    const char* why;
    const char* path;
    SDeviceAccessFacts facts;
    std::vector<const char*> mentions;  // empty: no help
};

TEST(DeviceAccessTest, NamesTheGroupOrTheUdevRuleThatIsMissing)
{
    const SAccessCase cases[] = {
        {"serial port of dialout", "/dev/ttyUSB0", {false, false, "dialout"},
         {"/dev/ttyUSB0", "\"dialout\"", "usermod -aG dialout", "log out"}},
        {"serial port of another group", "/dev/ttyS4", {false, false, "uucp"}, {"\"uucp\"", "usermod -aG uucp"}},
        {"group without a name", "/dev/ttyACM1", {false, false, ""}, {"usermod -aG dialout"}},
        {"USB scanner", "/dev/hidraw3", {false, true, "root"}, {"/dev/hidraw3", "70-vostrel-scanners.rules", "plug"}},
        {"permitted: only busy", "/dev/ttyUSB0", {true, false, "dialout"}, {}},
    };
    for (const SAccessCase& c : cases) {
        const wxString help = DeviceAccessHelp(c.path, c.facts);
        EXPECT_EQ(c.mentions.empty(), help.empty()) << c.why << ": " << help;
        for (const char* part : c.mentions)
            EXPECT_NE(wxNOT_FOUND, help.Find(part)) << c.why << ": " << help;
    }
}

// With no scanner found, each kind of node this user may not open is explained once.
TEST(DeviceAccessTest, NoScannerFoundExplainsEachKindOfClosedNodeOnce)
{
    const std::vector<SDeviceNode> nodes = {
        {"/dev/ttyUSB0", {true, false, "dialout"}},  {"/dev/ttyUSB1", {false, false, "dialout"}},
        {"/dev/ttyACM0", {false, false, "dialout"}}, {"/dev/hidraw0", {true, true, "root"}},
        {"/dev/hidraw1", {false, true, "root"}},
    };
    const wxString help = InaccessibleDevicesHelp(nodes);
    EXPECT_NE(wxNOT_FOUND, help.Find("/dev/ttyUSB1")) << help;
    EXPECT_EQ(wxNOT_FOUND, help.Find("/dev/ttyACM0")) << help;
    EXPECT_NE(wxNOT_FOUND, help.Find("/dev/hidraw1")) << help;
    EXPECT_EQ(2, help.Freq('\n')) << help;
    EXPECT_EQ("", InaccessibleDevicesHelp({nodes[0], nodes[3]}));
}

TEST(DeviceAccessTest, OnlyLocalDeviceNodesAreLookedAt)
{
    for (const char* path : {"", "rfc2217://127.0.0.1:1", "tcp://h:2", "/no/such/node"})
        EXPECT_TRUE(ReadDeviceAccessFacts(path).permitted) << path;
    const SDeviceAccessFacts facts = ReadDeviceAccessFacts("/dev/null");
    EXPECT_TRUE(facts.permitted);
    EXPECT_FALSE(facts.hid);
    EXPECT_EQ("root", facts.group);
}

}  // namespace
