// The simulated imager's answers to image requests, byte for byte where they are fixed.
#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Answer(const char* model, const std::string& command)
{
    std::string error;
    auto scanner = CSimulatedScanner::FromModelFile(model, SSimScannerProfile(), error);
    EXPECT_TRUE(scanner) << error;
    const std::vector<SSimReply> replies = scanner ? scanner->Feed(Request("@" + command)) : std::vector<SSimReply>();
    return replies.size() == 1 ? replies[0].bytes : std::string();
}

const char kImager[] = VOSTREL_SIM_DATA_DIR "/Config/HI880.xml";

}  // namespace

TEST(SimImage, RawSixteenthIsEchoLengthAndGreyPixelsAndMissingOptionsAreRefused)
{
    const std::string reply = Answer(kImager, "IMGGET0T2R0F");
    const std::string head = kHead + "@IMGGET0T2R0F00004B00";
    ASSERT_EQ(head.size() + 160 * 120 + 3, reply.size());
    EXPECT_EQ(head, reply.substr(0, head.size()));
    EXPECT_EQ(std::string("\x06;\x03"), reply.substr(reply.size() - 3));
    EXPECT_EQ(kHead + "@IMGGET0T0R7F\x15;\x03", Answer(kImager, "IMGGET0T0R7F"));
    EXPECT_EQ(kHead + "@IMGGET0T0R2F\x15;\x03", Answer(kImager, "IMGGET0T0R2F")) << "JPEG without its quality";
    EXPECT_EQ(kHead + "@IMGBGT0F\x15;\x03", Answer(kImager, "IMGBGT0F"));
    const std::string other = Answer(VOSTREL_SIM_TEST_DATA "/SimTestModel.xml", "IMGGET0T0R0F");
    EXPECT_NE(std::string::npos, other.find('\x05')) << "an unknown command to a scanner without imager";
}

