// Fault injection: what each fault does to the reply, and how faults are written.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kGarbage("\xFF\x00\x13\x7E\x55\xAA", 6);

// One fault, written as on the command line, and the reply it makes of a request.
struct SFaultCase {
    const char* fault;
    const char* request;
    bool replied;
    std::string bytes;
    bool disconnect;
    int delayMs;
    int byteGapMs;
};
void PrintTo(const SFaultCase& fault, std::ostream* out) { *out << fault.fault; }

class SimulatedScannerFaultTest : public ::testing::TestWithParam<SFaultCase> {};

// Every fault also changes nothing in the scanner and goes away when cleared.
TEST_P(SimulatedScannerFaultTest, ShapesTheReplyAndLeavesWhenCleared)
{
    const SFaultCase& c = GetParam();
    std::unique_ptr<CSimulatedScanner> scanner = FixtureScanner();
    ASSERT_TRUE(scanner);
    SSimFaultPlan plan;
    ASSERT_TRUE(plan.Add(c.fault));
    scanner->Faults().Set(plan);

    const std::vector<SSimReply> replies = scanner->Feed(Request(c.request));
    ASSERT_EQ(c.replied ? 1u : 0u, replies.size());
    if (c.replied) {
        EXPECT_EQ(c.bytes, replies[0].bytes);
        EXPECT_EQ(c.disconnect, replies[0].disconnect);
        EXPECT_EQ(c.delayMs, replies[0].delayMs);
        EXPECT_EQ(c.byteGapMs, replies[0].byteGapMs);
    }
    scanner->Faults().Clear();
    const std::vector<SSimReply> healthy = scanner->Feed(Request("@SCNTMO*"));
    ASSERT_EQ(1u, healthy.size());
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", healthy[0].bytes);
}

INSTANTIATE_TEST_SUITE_P(
    EachFault, SimulatedScannerFaultTest,
    ::testing::Values(SFaultCase{"silence", "@SCNTMO*", false, "", false, 0, 0},
                      SFaultCase{"nak:SCNTMO", "@SCNTMO99;232BAD8", true, kHead + "@SCNTMO99\x15;232BAD8\x06;\x03", false, 0, 0},
                      SFaultCase{"enq:QRYPDN", "@QRYPDN", true, kHead + "@QRYPDN\x05;\x03", false, 0, 0},
                      SFaultCase{"garbage", "@SCNTMO*", true, kGarbage + kHead + "@SCNTMO30\x06;\x03", false, 0, 0},
                      SFaultCase{"garbage:instead", "@SCNTMO*", true, kGarbage, false, 0, 0},
                      SFaultCase{"cut:9", "@SCNTMO*", true, kHead + "@SC", false, 0, 0},
                      SFaultCase{"cut:0", "@SCNTMO*", true, "", false, 0, 0},
                      SFaultCase{"disconnect:4", "@SCNTMO*", true, "\x02\x01" "00", true, 0, 0},
                      SFaultCase{"disconnect:4:1", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 0, 0},
                      SFaultCase{"slow:100", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 100, 0},
                      SFaultCase{"slow:250:3", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 250, 3}),
    [](const ::testing::TestParamInfo<SFaultCase>& fault) {
        std::string name = fault.param.fault;
        std::replace(name.begin(), name.end(), ':', '_');
        return name;
    });

TEST(SimFaultPlanTest, Add_RefusesMalformedFaults)
{
    SSimFaultPlan plan;
    for (const char* bad : {"", "silence:1", "garbage:after", "cut", "cut:", "cut:-1", "cut:x", "slow:1:2:3",
                            "slow:", "disconnect:1:x", "disconnect:1:2:3", "nak:", "nak:TOOLONGNAME", "enq:ABC", "explode"})
        EXPECT_FALSE(plan.Add(bad)) << bad;
}

}  // namespace
