// Who holds the scanner line: one thread at a time, again and again on the same
// thread, the others waiting, learning what holds it, or asking it to stop.
#include "device/LineOwner.h"
#include "device/LineWait.h"
#include "support/MessageRecorder.h"
#include "app/UiText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <vector>
#include <thread>

namespace {

// Runs `work` on another thread and returns its result.
template <typename Work>
auto Elsewhere(Work work)
{
    return std::async(std::launch::async, work).get();
}

TEST(LineOwner, TheHoldingThreadTakesItAgainAndOnlyTheOutermostReleaseFreesIt)
{
    CLineOwner line;
    CLineHold outer = line.Take(LineUsers::kWrite);
    {
        CLineHold inner = line.TryTake(LineUsers::kExchange);
        EXPECT_TRUE(inner);
        EXPECT_TRUE(line.IsHeldHere());
    }
    EXPECT_TRUE(Elsewhere([&] { return line.IsHeldElsewhere(); })) << "the inner release left it held";
    EXPECT_FALSE(Elsewhere([&] { return static_cast<bool>(line.TryTake(LineUsers::kTerminal)); }));
    EXPECT_EQ(GetUiText(LineUsers::kWrite.textId, LineUsers::kWrite.fallback),
              Elsewhere([&] { return line.HolderText(); }))
        << "the outermost holder is named";
    outer.Release();
    EXPECT_TRUE(Elsewhere([&] { return static_cast<bool>(line.TryTake(LineUsers::kTerminal)); }));
    EXPECT_TRUE(line.HolderText().empty());
}

// Waits, without a clock, until `count` threads wait for the line.
void AwaitWaiters(const CLineOwner& line, size_t count)
{
    while (line.WaitingCount() != count)
        std::this_thread::yield();
}

TEST(LineOwner, AWaiterGetsTheLineWhenItIsGivenBackAndATimedWaitGivesUp)
{
    CLineOwner line;
    CLineHold held = line.Take(LineUsers::kCapture);
    EXPECT_FALSE(Elsewhere([&] { return static_cast<bool>(line.TakeWithin(LineUsers::kExchange, 30)); }));
    EXPECT_EQ(0u, line.WaitingCount()) << "a wait that gave up leaves the queue";
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        CLineHold hold = line.Take(LineUsers::kExchange);
        got = true;
    });
    AwaitWaiters(line, 1);
    EXPECT_FALSE(got);
    held.Release();
    waiter.join();
    EXPECT_TRUE(got);
}

TEST(LineOwner, AHolderIsAskedToStopOnlyWhenItSaidHow)
{
    CLineOwner line;
    EXPECT_FALSE(line.AskHolderToStop()) << "nobody holds it";
    std::atomic<bool> stop{false};
    std::promise<void> holding;
    std::promise<void> done;
    std::thread capture([&] {
        CLineHold hold = line.Take(LineUsers::kCapture, [&stop] { stop = true; });
        holding.set_value();
        while (!stop)
            std::this_thread::yield();
        done.set_value();
    });
    holding.get_future().wait();
    EXPECT_TRUE(line.CanAskHolderToStop());
    EXPECT_TRUE(line.AskHolderToStop());
    done.get_future().wait();
    capture.join();

    CLineHold write = line.Take(LineUsers::kWrite);
    EXPECT_FALSE(Elsewhere([&] { return line.CanAskHolderToStop() || line.AskHolderToStop(); }));
}

// Waiters get the line in the order they asked; a part that takes it again and again
// (the terminal, auto capture) queues behind them, so it cannot starve them.
TEST(LineOwner, WaitersTakeTurnsInTheOrderTheyAskedAndAHolderAskingAgainGoesLast)
{
    CLineOwner line;
    CLineHold first = line.Take(LineUsers::kTerminal);
    std::mutex orderMutex;
    std::vector<int> order;
    const auto record = [&](int who) {
        std::lock_guard<std::mutex> lock(orderMutex);
        order.push_back(who);
    };
    std::vector<std::thread> waiters;
    for (int who = 1; who <= 3; ++who) {
        waiters.emplace_back([&, who] {
            CLineHold hold = line.Take(LineUsers::kWrite);
            record(who);
        });
        AwaitWaiters(line, static_cast<size_t>(who));
    }
    first.Release();
    CLineHold again = line.Take(LineUsers::kTerminal);  // the holder asks again at once
    record(0);
    again.Release();
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_EQ((std::vector<int>{1, 2, 3, 0}), order);
}

// The window thread never takes the line: it queues jobs. A take from it is reported
// (the program stops in a debug build); asking whether it is free is no take.
TEST(LineOwner, ATakeFromTheForbiddenThreadIsReportedAndOthersAreNot)
{
    CLineOwner line;
    std::vector<std::string> broken;
    CLineOwner::ForbidThread(std::this_thread::get_id(), [&broken](const SLineUser& user) { broken.push_back(user.textId); });
    {
        CLineHold tried = line.TryTake(LineUsers::kExchange);
        EXPECT_TRUE(tried);
    }
    EXPECT_TRUE(broken.empty()) << "a try that does not wait is allowed";
    { CLineHold taken = line.Take(LineUsers::kWrite); }
    { CLineHold within = line.TakeWithin(LineUsers::kCapture, 100); }
    EXPECT_TRUE(Elsewhere([&] { return static_cast<bool>(line.Take(LineUsers::kTerminal)); }));
    CLineOwner::ForbidThread(std::thread::id());
    EXPECT_EQ((std::vector<std::string>{"ID_LINE_WRITE", "ID_LINE_CAPTURE"}), broken);
}

// A window that needs the line: a holder that can stop (a capture) is named in a
// question and stopped only on a yes; one that cannot is waited for without a word.
TEST(LineWait, AStoppableHolderIsNamedAndStoppedOnlyWhenTheUserSaysYes)
{
    const struct {
        bool stoppable;
        int answer;
        bool madeWay;
        bool stopped;
        size_t questions;
    } cases[] = {{true, wxNO, false, false, 1}, {true, wxYES, true, true, 1}, {false, wxYES, true, false, 0}};
    for (const auto& row : cases) {
        CLineOwner line;
        CMessageRecorder messages;
        messages.Answer(row.answer);
        std::atomic<bool> stop{false};
        std::promise<void> holding;
        std::promise<void> release;
        std::thread holder([&] {
            CLineHold hold = row.stoppable ? line.Take(LineUsers::kCapture, [&stop] { stop = true; })
                                           : line.Take(LineUsers::kBatchFetch);
            holding.set_value();
            release.get_future().wait();
        });
        holding.get_future().wait();
        EXPECT_EQ(row.madeWay, MakeWayForLine(line, "write to the scanner"));
        EXPECT_EQ(row.stopped, stop.load());
        ASSERT_EQ(row.questions, messages.Texts().size());
        if (row.questions == 1) {
            EXPECT_TRUE(messages.Texts()[0].Contains(GetUiText(LineUsers::kCapture.textId, LineUsers::kCapture.fallback)));
            EXPECT_TRUE(messages.Texts()[0].Contains("write to the scanner"));
        }
        release.set_value();
        holder.join();
    }
}

}  // namespace
