#include "hbds/hbds.h"
#include "hbds/hbds_signal.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

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

// Lines at or below the level in force are written with their source and line, also by
// the crash handler's signal-safe writer; levels outside 1 to 6 are refused.
TEST_F(LogTest, LinesAtOrBelowTheThresholdAreWrittenWithSourceAndLine)
{
    ASSERT_TRUE(HBSetLogLevel(4));
    EXPECT_FALSE(HBSetLogLevel(0));
    EXPECT_FALSE(HBSetLogLevel(7));
    EXPECT_EQ(4, hbds_get_log_level());
    logout_line(4, "DeviceMnt.cpp", 120, "hid devices=%i", 3);
    logout_line(5, "DeviceMnt.cpp", 121, "too detailed %i", 1);
    logout_line_u(2, "SaveConfig.cpp", 7, L"%ls %d", L"宽字符", 9);
    hbds_log_line_from_signal(4, "CrashDump.cpp", 77, "/opt/vostrel/dump/Vostrel20261207-101500.dmp");
    hbds_log_line_from_signal(5, "CrashDump.cpp", 78, "too detailed");
    const std::string log = Today();
    EXPECT_NE(std::string::npos, log.find("[4] DeviceMnt.cpp:120 hid devices=3\n"));
    EXPECT_EQ(std::string::npos, log.find("too detailed"));
    EXPECT_NE(std::string::npos, log.find("[2] SaveConfig.cpp:7 宽字符 9\n"));
    EXPECT_NE(std::string::npos, log.find("[4] CrashDump.cpp:77 /opt/vostrel/dump/Vostrel20261207-101500.dmp\n"));
}

// The crash handler's clock works without the time-zone database; it must still give
// the local time, east and west of Greenwich and off the full hour.
TEST_F(LogTest, SignalSafeClockGivesTheLocalTime)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    for (const char* zone : {"UTC0", "IST-5:30", "NST3:30"}) {
        setenv("TZ", zone, 1);
        tzset();
        hbds_set_log_directory(m_dir.Path().utf8_str());  // takes the offset in force
        std::tm safe{};
        hbds_local_time_from_signal(&safe);
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        safe.tm_isdst = local.tm_isdst;
        EXPECT_LE(std::fabs(std::difftime(std::mktime(&local), std::mktime(&safe))), 1.0) << zone;
    }
    saved ? setenv("TZ", previous.c_str(), 1) : unsetenv("TZ");
    tzset();
}

}  // namespace
