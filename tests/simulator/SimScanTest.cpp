// The simulated scanner's own reads, its options, and its line terminal.
#include "simulator/SimLineTerminal.h"
#include "simulator/SimScanSetup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

TEST(SimScanTest, AScriptIsPlayedOnceOneReadPerPeriodAndBadOptionsAreRefused)
{
    const std::string path = testing::TempDir() + "/sim_reads.txt";
    std::ofstream(path) << "# reads\n33\tQR-DATA\r\nPLAIN\n\nbad\tTAB\n";
    CSimScanEmitter emitter;
    std::string error;
    ASSERT_TRUE(emitter.LoadScript(path, error)) << error;
    emitter.SetFormatter([](const std::string& data, int code) { return std::to_string(code) + ":" + data; });
    emitter.SetPeriod(10, false);
    const auto later = CSimScanEmitter::Clock::now() + std::chrono::seconds(1);
    EXPECT_EQ((std::vector<std::string>{"33:QR-DATA\r\n", "2:PLAIN\r\n", "2:bad\tTAB\r\n"}), emitter.TakeDue(later));
    EXPECT_FALSE(emitter.IsActive());
    std::remove(path.c_str());
    SSimScanSetup setup;
    EXPECT_FALSE(setup.Add("--scan-every", "0"));
    EXPECT_FALSE(setup.Add("--scan-every", "10x"));
    EXPECT_FALSE(setup.Add("--packed", "zip"));
    EXPECT_FALSE(setup.Add("--reads", ""));
    EXPECT_TRUE(setup.Add("--packed", "aim"));
    EXPECT_EQ(ESimPacking::AIM_ID, setup.packing);
}

TEST(SimLineTerminalTest, AnswersLinesUntilExitAndCutsOverlongOnes)
{
    CSimLineTerminal terminal("V1");
    terminal.Enter();
    EXPECT_TRUE(terminal.Push("ve").empty());
    EXPECT_EQ((std::vector<std::string>{"V1\r\n> "}), terminal.Push("r\r"));
    const std::vector<std::string> answers = terminal.Push(std::string(70, 'x') + "\rexit\rver\r");
    ASSERT_EQ(2u, answers.size());
    EXPECT_EQ("unknown command: " + std::string(64, 'x') + "\r\n> ", answers[0]);
    EXPECT_EQ("bye\r\n", answers[1]);
    EXPECT_FALSE(terminal.IsActive());
}

}  // namespace
