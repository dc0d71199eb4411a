#include "app/TaskProgress.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(TaskProgressTest, TheBarAndTheTimeLeftFollowThePaceSoFar)
{
    const struct {
        uint64_t done, total, elapsedMs;
        int permille, secondsLeft;
    } cases[] = {{0, 0, 5000, 0, -1},       // nothing known: the bar pulses
                 {0, 100, 5000, 0, -1},     // no pace yet
                 {25, 100, 10000, 250, 30},  // a quarter in 10 s: 30 s more
                 {50, 100, 200, 500, -1},   // too soon for an estimate
                 {100, 100, 8000, 1000, 0},
                 {120, 100, 8000, 1000, 0},  // more than announced stays a full bar
                 {1, 3, 1000, 333, 2}};
    for (const auto& c : cases) {
        const SShownProgress shown = ShownProgress(c.done, c.total, c.elapsedMs);
        EXPECT_EQ(c.permille, shown.permille) << c.done << "/" << c.total;
        EXPECT_EQ(c.secondsLeft, shown.secondsLeft) << c.done << "/" << c.total;
    }
}

TEST(TaskProgressTest, OnlyTheWatchedThreadsTaskIsCounted)
{
    CTaskProgress progress;
    std::thread worker([&progress] {
        WatchThisThreadsTask(&progress);
        StartTaskProgress(4);
        AdvanceTaskProgress(3);
        WatchThisThreadsTask(nullptr);
        AdvanceTaskProgress();
    });
    worker.join();
    AdvanceTaskProgress(5);  // another thread's work is not this task's
    EXPECT_EQ(4u, progress.Total());
    EXPECT_EQ(3u, progress.Done());
}

}  // namespace
