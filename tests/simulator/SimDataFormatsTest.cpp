#include "simulator/SimDataFormats.h"
#include "simulator/SimReplyBuilder.h"
#include "SimTestSupport.h"

#include <gtest/gtest.h>

namespace {

// The status character of the one item a command was answered with.
char StatusOf(CSimDataFormats& formats, const std::string& name, const std::string& rest)
{
    CSimReplyBuilder builder;
    EXPECT_TRUE(formats.Answer(name, rest, builder));
    const std::string frame = builder.Frame('@');
    return frame.size() >= 3 ? frame[frame.size() - 3] : '\0';
}

TEST(SimDataFormatsTest, FormatLinesAreStoredReportedAndRunOnReads)
{
    CSimDataFormats formats("DFMSET", 50);
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMCAL", ""));
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMSET", "069990040013F82DF10D"));
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMSET", "169999999999B3F12C"));
    // Refused: a rule text that does not split, a number beyond 3, a line over the limit.
    EXPECT_EQ(kSimNak, StatusOf(formats, "DFMSET", "069999999999F10"));
    EXPECT_EQ(kSimNak, StatusOf(formats, "DFMSET", "469999999999F10D"));
    EXPECT_EQ(kSimNak, StatusOf(formats, "DFMSET", "069999999999B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3"));
    EXPECT_EQ("Data Format 0:069990040013F82DF10D;\r\nData Format 1:169999999999B3F12C;\r\n"
              "Data Format 2:;\r\nData Format 3:;\r\n",
              formats.CurrentValue());

    // Format 0 is for EAN-13 reads of 13 characters; other reads fall to format 1.
    EXPECT_EQ("-789012\r", formats.Apply("123456-789012", 4));
    EXPECT_EQ("EAN-13123456789012,", formats.Apply("123456789012", 4, "EAN-13"));
    // A second line for number 0 replaces the first.
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMSET", "069999999999E902"));
    EXPECT_EQ("1234", formats.Apply("123456", 2));
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMCAL", ""));
    EXPECT_EQ("123456", formats.Apply("123456", 2));
    CSimReplyBuilder builder;
    EXPECT_FALSE(CSimDataFormats().Answer("DFMQCU", "", builder)) << "a model without formats answers none";
}

// A shipped model of the list form (several formats in one line), over its whole request path: the tool's write
// (clear, then one line) packs the group once; the read-back reports the format.
TEST(SimDataFormatsTest, AModelsScannerTakesWrittenFormatsAndRunsThemOnItsReads)
{
    std::string error;
    auto scanner = CSimulatedScanner::FromModelFile(std::string(VOSTREL_SIM_TEST_DATA) + "/../../../data/Config/FM300.xml",
                                                    TestProfile(), error);
    ASSERT_TRUE(scanner) << error;
    const auto write = scanner->Feed(Request("@DFMCAL,ADD069990020005B3|069999999999F10D"));
    ASSERT_EQ(1u, write.size());
    EXPECT_EQ(kHead + "@DFMCAL\x06,ADD069990020005B3|069999999999F10D\x06;\x03", write[0].bytes);
    const auto query = scanner->Feed(Request("@DFMQCU"));
    ASSERT_EQ(1u, query.size());
    EXPECT_EQ(kHead + "@DFMQCUData Format 0:069990020005B3|069999999999F10D;\r\nData Format 1:;\r\n"
                      "Data Format 2:;\r\nData Format 3:;\r\n\x06;\x03",
              query[0].bytes);
    EXPECT_EQ("12345\r", scanner->ApplyDataFormats("12345", 4));
    EXPECT_EQ("2", scanner->ApplyDataFormats("12345", 2)) << "the Code 128 format for five characters inserts the code";
}

}  // namespace
