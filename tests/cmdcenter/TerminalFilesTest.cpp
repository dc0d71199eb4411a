// The files around the terminal: the command history between runs and the switches
// of "server.cfg" for the upgrade buttons.
#include "cmdcenter/CommandHistory.h"
#include "support/TempDir.h"
#include "cmdcenter/UpgradeSwitches.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandHistoryTest, KeepsTheNewestCommandsOnePerLine)
{
    CTempDir dir;
    wxArrayString commands;
    for (size_t i = 0; i < CCommandHistory::kMostKept + 5; ++i)
        commands.Add(wxString::Format("CMD%zu", i));
    commands.Add("two\r\nlines");
    ASSERT_TRUE(CCommandHistory::Save(dir.File("h"), commands));
    const wxArrayString loaded = CCommandHistory::Load(dir.File("h"));
    ASSERT_EQ(CCommandHistory::kMostKept, loaded.size());
    EXPECT_EQ("CMD6", loaded[0]);
    EXPECT_EQ("two  lines", loaded.back());
    EXPECT_TRUE(CCommandHistory::Load(dir.File("missing")).empty());
}

struct SSwitchCase {
    const char* content;
    bool upgrade;
    bool batchUpgrade;
};

class UpgradeSwitchesTest : public ::testing::TestWithParam<SSwitchCase> {};

TEST_P(UpgradeSwitchesTest, OnlyTheValueOneShowsAButton)
{
    CTempDir dir;
    if (GetParam().content)
        dir.Write("server.cfg", GetParam().content);
    const SUpgradeSwitches switches = ReadUpgradeSwitches(dir.File("server.cfg"));
    EXPECT_EQ(GetParam().upgrade, switches.upgrade);
    EXPECT_EQ(GetParam().batchUpgrade, switches.batchUpgrade);
}

INSTANTIATE_TEST_SUITE_P(Files, UpgradeSwitchesTest,
                         ::testing::Values(SSwitchCase{"[cfg]\nupgrade=1\n", true, false},
                                           SSwitchCase{"[cfg]\nupgrade=2\nbatchupgrade=1\n", false, true},
                                           SSwitchCase{"[other]\nupgrade=1\n", false, false},
                                           SSwitchCase{"\x01\xff garbage [[[", false, false},
                                           SSwitchCase{nullptr, false, false}));

}  // namespace
