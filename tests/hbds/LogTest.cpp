#include "hbds.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { hbds_set_log_directory(m_dir.Path().utf8_str()); }
    void TearDown() override
    {
        hbds_set_log_directory(nullptr);
        HBSetLogLevel(2);
    }
    std::string Today() const { return m_dir.Read(wxDateTime::Now().Format("hbds_%Y%m%d.log")); }

    CTempDir m_dir;
};

TEST_F(LogTest, LinesAtOrBelowTheThresholdAreWrittenWithSourceAndLine)
{
    ASSERT_TRUE(HBSetLogLevel(4));
    logout_line(4, "DeviceMnt.cpp", 120, "hid devices=%i", 3);
    logout_line(5, "DeviceMnt.cpp", 121, "too detailed %i", 1);
    logout_line_u(2, "SaveConfig.cpp", 7, L"%ls %d", L"宽字符", 9);
    const std::string log = Today();
    EXPECT_NE(std::string::npos, log.find("[4] DeviceMnt.cpp:120 hid devices=3\n"));
    EXPECT_EQ(std::string::npos, log.find("too detailed"));
    EXPECT_NE(std::string::npos, log.find("[2] SaveConfig.cpp:7 宽字符 9\n"));
}

TEST_F(LogTest, LevelsOutsideOneToSixAreRefused)
{
    ASSERT_TRUE(HBSetLogLevel(6));
    EXPECT_FALSE(HBSetLogLevel(0));
    EXPECT_FALSE(HBSetLogLevel(7));
    EXPECT_EQ(6, hbds_get_log_level());
}

}  // namespace
