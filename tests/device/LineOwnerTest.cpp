// Who holds the scanner line: one thread at a time, again and again on the same
// thread, the others waiting, learning what holds it, or asking it to stop.
// And the line's own thread: jobs run one at a time in the order they were queued, each
// holding the line; a cancelled job does not run, and every job's end is told.
#include "LineOwner.h"
#include "LineWait.h"
#include "MessageRecorder.h"
#include "UiText.h"
#include "LineJobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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

// Two windows' worth of jobs queued at once from two threads: each thread's jobs run
// in its order, never two at once, and always with the line held by the line's thread.
TEST(LineJobs, JobsFromTwoThreadsRunOneAtATimeInTheirOrderHoldingTheLine)
{
    CLineOwner line;
    CLineJobs jobs(line);
    std::mutex ranMutex;
    std::vector<std::pair<int, int>> ran;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> lineNotHeld{false};
    const int kPerThread = 200;
    const auto queueFrom = [&](int window) {
        for (int n = 0; n < kPerThread; ++n)
            jobs.Queue(LineUsers::kExchange, [&, window, n](CLineJob&) {
                overlapped = overlapped || ++running > 1;
                lineNotHeld = lineNotHeld || !line.IsHeldHere();
                {
                    std::lock_guard<std::mutex> lock(ranMutex);
                    ran.emplace_back(window, n);
                }
                --running;
                return true;
            });
    };
    std::thread first(queueFrom, 1);
    std::thread second(queueFrom, 2);
    first.join();
    second.join();
    EXPECT_TRUE(jobs.Run(LineUsers::kExchange, [](CLineJob&) { return true; })) << "queued last, ends last";
    ASSERT_EQ(2u * kPerThread, ran.size());
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(lineNotHeld);
    int next[3] = {0, 0, 0};
    for (const auto& [window, n] : ran)
        EXPECT_EQ(next[window]++, n) << "window " << window;
}

// Whatever happens to a job, whoever queued it learns of its end once, with the
// result: a job cancelled before it ran, one cancelled while it runs, one that
// throws, one that fails and one that works.
TEST(LineJobs, EveryJobsEndIsToldWithItsResult)
{
    CLineOwner line;
    CLineJobs jobs(line);
    std::atomic<bool> release{false};
    std::atomic<bool> started{false};
    std::vector<int> ends;
    std::mutex endsMutex;
    const auto noteEnd = [&](int id) {
        return [&, id](bool result) {
            std::lock_guard<std::mutex> lock(endsMutex);
            ends.push_back(result ? id : -id);
        };
    };
    // Holds the line's thread until the test has queued and cancelled what it needs.
    LineJobPtr blocker = jobs.Queue(
        LineUsers::kExchange,
        [&](CLineJob& job) {
            started = true;
            while (!release && !job.IsCancelled())
                std::this_thread::yield();
            return !job.IsCancelled();
        },
        noteEnd(1));
    while (!started)
        std::this_thread::yield();
    std::atomic<bool> ranAfterCancel{false};
    LineJobPtr never = jobs.Queue(LineUsers::kExchange, [&](CLineJob&) { return ranAfterCancel = true; }, noteEnd(2));
    jobs.Queue(LineUsers::kExchange, [](CLineJob&) -> bool { throw std::runtime_error("broken"); }, noteEnd(3));
    jobs.Queue(LineUsers::kExchange, [](CLineJob&) { return false; }, noteEnd(4));
    LineJobPtr works = jobs.Queue(LineUsers::kExchange, [](CLineJob&) { return true; }, noteEnd(5));
    never->Cancel();
    blocker->Cancel();
    EXPECT_TRUE(works->Wait());
    EXPECT_FALSE(ranAfterCancel);
    EXPECT_TRUE(never->IsFinished());
    EXPECT_EQ((std::vector<int>{-1, -2, -3, -4, 5}), ends);
}

// A stop asked through the line reaches the running job: by default it is cancelled;
// a job that said how it stops (a capture finishing its picture) is asked instead.
// A wait of the job for its scanner ends at a cancel.
TEST(LineJobs, AStopAskedThroughTheLineReachesTheRunningJob)
{
    for (const bool ownStop : {false, true}) {
        CLineOwner line;
        CLineJobs jobs(line);
        std::atomic<bool> askedOwnWay{false};
        std::atomic<bool> waiting{false};
        LineJobPtr job = jobs.Queue(LineUsers::kCapture, [&](CLineJob& self) {
            if (ownStop)
                self.SetStopRequest([&] {
                    askedOwnWay = true;
                    self.Cancel();
                });
            waiting = true;
            return !self.WaitFor(60 * 1000);  // ended by the cancel, not by the clock
        });
        while (!waiting || !line.CanAskHolderToStop())
            std::this_thread::yield();
        EXPECT_TRUE(line.AskHolderToStop());
        EXPECT_TRUE(job->Wait()) << ownStop;
        EXPECT_TRUE(job->IsCancelled());
        EXPECT_EQ(ownStop, askedOwnWay.load());
    }
}

TEST(LineJobs, ShutdownCancelsWhatIsQueuedAndTheQueueStartsAgain)
{
    CLineOwner line;
    CLineJobs jobs(line);
    std::atomic<bool> started{false};
    LineJobPtr running = jobs.Queue(LineUsers::kExchange, [&](CLineJob& job) {
        started = true;
        return job.WaitFor(60 * 1000);
    });
    LineJobPtr queued = jobs.Queue(LineUsers::kExchange, [](CLineJob&) { return true; });
    while (!started)
        std::this_thread::yield();
    jobs.Shutdown();
    EXPECT_TRUE(running->IsFinished() && queued->IsFinished());
    EXPECT_FALSE(running->Result() || queued->Result());
    EXPECT_EQ(0u, jobs.Count());
    EXPECT_TRUE(jobs.Run(LineUsers::kExchange, [](CLineJob&) { return true; }));
}

// A part that takes the line step after step on a thread of its own (the terminal)
// and a stream of 200 queued edits: once an edit has asked for the line, the terminal
// gets at most the one step it had asked for before. Counted by the terminal at the
// start of each step, so that a busy machine's late threads do not count: a streak
// ends when an edit has had the line.
TEST(LineJobs, EditsGetTheLineBetweenTheStepsOfAStreamingTerminal)
{
    CLineOwner line;
    CLineJobs jobs(line);
    std::atomic<bool> done{false};
    std::atomic<int> steps{0};
    std::atomic<int> editsDone{0};
    int streak = 0;
    int longestStreak = 0;  // terminal steps begun while the same edit waited
    int editsAtLastStep = 0;
    std::thread terminal([&] {
        while (!done) {
            CLineHold hold = line.TakeWithin(LineUsers::kTerminal, 20);
            if (!hold)
                continue;
            ++steps;
            const bool sameEditWaits = editsDone == editsAtLastStep;
            editsAtLastStep = editsDone;
            streak = line.WaitingCount() == 0 ? 0 : sameEditWaits ? streak + 1 : 1;
            longestStreak = std::max(longestStreak, streak);
            // A step of work with the line held: a read of the scanner's output.
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2);
            while (std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
        }
    });
    while (steps == 0)  // the terminal streams before the first edit
        std::this_thread::yield();
    for (int edit = 0; edit < 200; ++edit)
        ASSERT_TRUE(jobs.Run(LineUsers::kExchange, [&editsDone](CLineJob&) {
            ++editsDone;
            return true;
        }));
    done = true;
    terminal.join();
    EXPECT_LE(longestStreak, 1) << "an edit waited behind the terminal";
}

}  // namespace
