#include "app/AppSettings.h"
#include "hbds/hbds.h"

#include "support/FailOnWxAssert.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/init.h>

#include <climits>

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CAppSettings::ResetInstance();
        HBSetLogLevel(2);
    }

    SAppSettings LoadFrom(const std::string& content)
    {
        m_dir.Write("hbs.ini", content);
        CAppSettings::GetInstance().LoadAppSettings(m_dir.File("hbs.ini"));
        return CAppSettings::GetInstance().Values();
    }

    CTempDir m_dir;
};

TEST_F(AppSettingsTest, AbsentFileGivesEveryDefault)
{
    CAppSettings::GetInstance().LoadAppSettings(m_dir.File("hbs.ini"));
    const SAppSettings& values = CAppSettings::GetInstance().Values();
    EXPECT_EQ(0, values.imageX);
    EXPECT_EQ(0, values.imageHeight);
    EXPECT_EQ(2, values.logLevel);
    EXPECT_EQ(0, values.quickCfg);
    EXPECT_EQ(0, values.checkCpu);
    EXPECT_TRUE(values.lang.empty());
    EXPECT_EQ(2, hbds_get_log_level());
}

// A level outside 1 to 6 becomes 2; the level taken reaches the device-link library and
// is what the file holds once saved.
TEST_F(AppSettingsTest, LogLevelOutsideOneToSixBecomesTwo)
{
    const struct {
        const char* written;
        int taken;
    } cases[] = {{"0", 2}, {"7", 2}, {"-1", 2}, {"abc", 2}, {"5", 5}};
    for (const auto& row : cases) {
        HBSetLogLevel(3);
        EXPECT_EQ(row.taken, LoadFrom(std::string("[cfg]\nLogLevel=") + row.written + "\n").logLevel) << row.written;
        EXPECT_EQ(row.taken, hbds_get_log_level()) << row.written;
        ASSERT_TRUE(CAppSettings::GetInstance().SaveAppSettings());
        EXPECT_NE(std::string::npos, m_dir.Read("hbs.ini").find("LogLevel=" + std::to_string(row.taken))) << row.written;
    }
}

// QuickCfg is 0 or 1, anything else 0; CheckCpu and the viewer's place take any number;
// lang is taken only when 1 to 259 characters long.
TEST_F(AppSettingsTest, QuickCfgIsZeroOrOneTheOtherNumbersAnyValueAndLangAtMost259Characters)
{
    EXPECT_EQ(0, LoadFrom("[cfg]\nQuickCfg=5\n").quickCfg);
    const SAppSettings values = LoadFrom("[cfg]\nQuickCfg=1\nCheckCpu=9\nimageX=-40\nimageWidth=812\n");
    EXPECT_EQ(1, values.quickCfg);
    EXPECT_EQ(9, values.checkCpu);
    EXPECT_EQ(-40, values.imageX);
    EXPECT_EQ(812, values.imageWidth);
    EXPECT_EQ("EN", LoadFrom("[cfg]\nlang=EN\n").lang);
    EXPECT_TRUE(LoadFrom("[cfg]\nlang=" + std::string(260, 'x') + "\n").lang.empty());
    EXPECT_EQ(259u, LoadFrom("[cfg]\nlang=" + std::string(259, 'x') + "\n").lang.length());
}

// wxWidgets cannot hold an entry without a name, a repeated section or a section name
// that reads as a path; such lines are passed over (the first section of a name
// counts), the rest is read, and saving keeps values as written.
TEST_F(AppSettingsTest, WhatTheIniReaderCannotHoldIsPassedOver)
{
    wxInitializer wx;  // as in the program: wxFileConfig asks the application for paths
    CFailOnWxAssert assertsFail;
    for (const char* content : {"[cfg]\n=:0\nimageX=10\n", "[cfg]\nimageX=10\n[other]\n[CFG]\nimageX=20\n",
                                "[a/../cfg]\nimageX=30\n[cfg]\nimageX=10\n", "[cfg]\rimageX=10\r[cfg]x\rimageX=5",
                                "[cfg]\nimageX=10\n\v[CFG]\nimageX=20\n\v=1\n"})
        EXPECT_EQ(10, LoadFrom(content).imageX) << content;
    LoadFrom("[cfg]\n path=C:\\x\n");
    ASSERT_TRUE(CAppSettings::GetInstance().SaveAppSettings());
    EXPECT_NE(std::string::npos, m_dir.Read("hbs.ini").find("path=C:\\x"));
}

// Saving writes the values in force and keeps every other key and section; saving the
// language writes "lang" alone.
TEST_F(AppSettingsTest, SavingKeepsOtherKeysAndSectionsAndTheLastFolderSurvivesARestart)
{
    LoadFrom("[cfg]\nlang=EN\nprint=3\n[other]\nkeep=yes\n");
    CAppSettings::GetInstance().Values().imageY = 77;
    ASSERT_TRUE(CAppSettings::GetInstance().SaveAppSettings());
    std::string saved = m_dir.Read("hbs.ini");
    for (const char* kept : {"imageY=77", "print=3", "keep=yes", "lang=EN"})
        EXPECT_NE(std::string::npos, saved.find(kept)) << kept;

    LoadFrom("[cfg]\nLogLevel=4\n");
    ASSERT_TRUE(CAppSettings::GetInstance().SaveLanguage("CN"));
    saved = m_dir.Read("hbs.ini");
    EXPECT_NE(std::string::npos, saved.find("lang=CN"));
    EXPECT_NE(std::string::npos, saved.find("LogLevel=4"));
    EXPECT_EQ(std::string::npos, saved.find("QuickCfg"));

    LoadFrom("[cfg]\nLogLevel=4\n");
    ASSERT_TRUE(CAppSettings::GetInstance().SaveLastFolder("/home/u/Documents"));
    EXPECT_EQ(std::string::npos, m_dir.Read("hbs.ini").find("QuickCfg"));
    LoadFrom(m_dir.Read("hbs.ini"));
    EXPECT_EQ("/home/u/Documents", CAppSettings::GetInstance().Values().lastFolder);
    EXPECT_EQ(4, CAppSettings::GetInstance().Values().logLevel);
}

// Leading decimal digits, as the profile reader takes them; only fifteen characters fit
// its buffer, so a sixteenth is cut off before conversion.
TEST(ParseProfileInt, ReadsDecimalFromTheFirstFifteenCharacters)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {{"42", 42},   {"  42abc", 42}, {"-3", -3}, {"abc", 0}, {"", 0}, {"0x10", 0},
                 {"0000000000000017", 1}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}};
    for (const auto& row : cases)
        EXPECT_EQ(row.value, ParseProfileInt(row.text)) << "\"" << row.text << "\"";
}

}  // namespace
