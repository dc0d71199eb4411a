// Who holds the scanner line: one thread at a time, again and again on the same
// thread, the others waiting, learning what holds it, or asking it to stop.
#include "LineOwner.h"
#include "LineWait.h"
#include "MessageRecorder.h"
#include "UiText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

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

TEST(LineOwner, AWaiterGetsTheLineWhenItIsGivenBackAndATimedWaitGivesUp)
{
    CLineOwner line;
    CLineHold held = line.Take(LineUsers::kCapture);
    EXPECT_FALSE(Elsewhere([&] { return static_cast<bool>(line.TakeWithin(LineUsers::kExchange, 30)); }));
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        CLineHold hold = line.Take(LineUsers::kExchange);
        got = true;
    });
    std::this_thread::sleep_for(50ms);  // gives the waiter time to be waiting
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
            std::this_thread::sleep_for(1ms);
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

TEST(LineOwner, APartThatGivesWayLetsTheWaiterInBeforeItTakesTheLineAgain)
{
    CLineOwner line;
    CLineHold first = line.Take(LineUsers::kCapture);
    std::atomic<int> order{0};
    std::atomic<int> waiterTurn{0};
    std::thread waiter([&] {
        CLineHold hold = line.Take(LineUsers::kWrite);
        waiterTurn = ++order;
    });
    std::this_thread::sleep_for(30ms);  // the waiter is waiting by now
    first.Release();
    line.GiveWay();
    CLineHold again = line.Take(LineUsers::kCapture);
    const int captureTurn = ++order;
    again.Release();
    waiter.join();
    EXPECT_LT(waiterTurn, captureTurn);
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

// An exchange on a window's own thread does not wait behind a long operation: the
// user is told what holds the line, and nothing is taken.
TEST(LineWait, AWindowIsToldWhatHoldsTheLineInsteadOfWaiting)
{
    CLineOwner line;
    CMessageRecorder messages;
    std::promise<void> holding;
    std::promise<void> release;
    std::thread fetch([&] {
        CLineHold hold = line.Take(LineUsers::kBatchFetch);
        holding.set_value();
        release.get_future().wait();
    });
    holding.get_future().wait();
    EXPECT_FALSE(TakeLineForWindow(line, LineUsers::kExchange));
    ASSERT_EQ(1u, messages.Texts().size());
    EXPECT_TRUE(messages.Texts()[0].Contains(GetUiText(LineUsers::kBatchFetch.textId, LineUsers::kBatchFetch.fallback)));
    release.set_value();
    fetch.join();
    EXPECT_TRUE(TakeLineForWindow(line, LineUsers::kExchange));
}

}  // namespace
