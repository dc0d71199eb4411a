// The scanner line. Who holds it: one thread at a time, again and again on the same
// thread, the others waiting, learning what holds it, or asking it to stop. The line's
// own thread: jobs run one at a time in the order they were queued, each holding the
// line; a cancelled job does not run, and every job's end is told. And two parts of
// the program at one simulated scanner at the same time, as a user gets them with the
// terminal open, a picture on its way or a download running: each part must get whole
// replies of its own. Were the line shared, their bytes would mix.
#include "app/UiText.h"
#include "batchdata/BatchDataFetch.h"
#include "cmdcenter/CommandCenterSession.h"
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineJobs.h"
#include "device/LineOwner.h"
#include "device/LineWait.h"
#include "fwpack/FirmwarePack.h"
#include "image/ImageCapture.h"
#include "simulator/InProcessScanner.h"
#include "simulator/SimTestSupport.h"
#include "simulator/SimulatedScanner.h"
#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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
        EXPECT_FALSE(line.AskHolderToStop()) << "nobody holds it";
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
        EXPECT_EQ(row.stoppable, line.CanAskHolderToStop());
        EXPECT_EQ(row.madeWay, MakeWayForLine(line, "write to the scanner"));
        EXPECT_EQ(row.stopped, stop.load());
        if (!row.stoppable) {
            EXPECT_FALSE(line.AskHolderToStop()) << "a holder that cannot stop is not asked";
        }
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

using Clock = std::chrono::steady_clock;
const uint32_t kBaud = 115200;

class LineSharingTest : public CCoreTest {
protected:
    // The imaging model, so that pictures can be taken as well.
    void Plug(std::unique_ptr<CSimulatedScanner> scanner = nullptr)
    {
        if (!scanner) {
            SSimScannerProfile profile;
            profile.baudRate = kBaud;
            std::string error;
            scanner = CSimulatedScanner::FromModelFile(VOSTREL_DATA_DIR "/Config/HI880.xml", profile, error);
            ASSERT_TRUE(scanner) << error;
        }
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
        Configure(m_scanner->Scanner());
        const uint32_t port = m_scanner->Start();
        ASSERT_NE(0u, port);
        ASSERT_NE(nullptr, OpenTestDevice(port, kBaud, 500));
    }
    virtual void Configure(CSimulatedScanner&) {}

    // A terminal with its reader on, collecting its lines.
    void StartTerminal()
    {
        m_session = std::make_unique<CCommandCenterSession>(m_terminalLink, [this](const STerminalOutput& output) {
            std::lock_guard<std::mutex> lock(m_linesMutex);
            m_lines += output.text;
        });
        m_session->SetReaderEnabled(true);
        m_session->Start();
    }
    // True once the terminal has shown `text`, waiting up to two seconds for it.
    bool TerminalShows(const wxString& text)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(2);
        while (Clock::now() < deadline) {
            {
                std::lock_guard<std::mutex> lock(m_linesMutex);
                if (m_lines.Contains(text))
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    wxString TerminalLines()
    {
        std::lock_guard<std::mutex> lock(m_linesMutex);
        return m_lines;
    }
    void TearDown() override
    {
        if (m_session)
            m_session->Stop();
        m_session.reset();
        CHBDataStreamMnt::GetInstance().CloseDevice(0);
        m_scanner.reset();
        CCoreTest::TearDown();
    }

    std::unique_ptr<CInProcessScanner> m_scanner;
    CDeviceTerminalLink m_terminalLink;
    std::unique_ptr<CCommandCenterSession> m_session;
    std::mutex m_linesMutex;
    wxString m_lines;
};

// The scanner keeps reading codes (sent packed) while its stored data, many blocks of
// it, is fetched with the terminal open: the entries hold exactly the stored codes,
// and the codes read meanwhile reach the terminal instead.
class FetchWhileScanningTest : public LineSharingTest {
protected:
    void Configure(CSimulatedScanner& scanner) override
    {
        for (int i = 0; i < 200; ++i)
            scanner.BatchStore().Add(wxString::Format("STORED-%03d", i).ToStdString());
        scanner.ScanEmitter().SetReads({{4, "6901234567892"}});
        scanner.ScanEmitter().SetPacking(ESimPacking::CODE_ID);
        scanner.ScanEmitter().SetPeriod(40, true);
    }
};

TEST_F(FetchWhileScanningTest, TheStoredDataIsExactAndTheReadsGoToTheTerminal)
{
    Plug();
    StartTerminal();
    std::vector<wxString> entries;
    ASSERT_TRUE(CBatchDataFetch(m_terminalLink, 200).Fetch(entries));
    wxString stored;
    for (const wxString& entry : entries)
        stored += entry;
    // Blocks of sixteen codes, joined before they are cut: every code keeps its line
    // end but the last, wherever the blocks meet.
    wxString expected;
    for (int i = 0; i < 200; ++i)
        expected += (i == 0 ? "" : "\r\n") + wxString::Format("STORED-%03d", i);
    EXPECT_EQ(expected, stored);
    EXPECT_TRUE(TerminalShows("6901234567892")) << TerminalLines();
}

TEST_F(LineSharingTest, AQueryDuringACaptureWaitsForThePictureAndGetsItsOwnReply)
{
    Plug();
    CImageCapture capture;
    ASSERT_TRUE(capture.Discover());
    std::atomic<bool> captured{false};
    SImageFile file;
    // Raw at 1:4 takes about two seconds at this rate.
    std::thread worker([&] { captured = capture.Capture({IMAGE_TYPE_REALTIME, 2, IMAGE_FORMAT_RAW, 0}, file); });
    CLineOwner& line = CHBDataStreamMnt::GetInstance().Line();
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!line.IsHeldElsewhere() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(line.IsHeldElsewhere());
    wxString size;
    EXPECT_TRUE(CSaveCfg::QueryCommand("IMGGWH", "", size, "@"));
    worker.join();
    EXPECT_TRUE(captured);
    EXPECT_EQ(160, file.width);
    EXPECT_EQ("640W480H", size);
}

class TerminalDuringCaptureTest : public LineSharingTest {
protected:
    void Configure(CSimulatedScanner& scanner) override
    {
        scanner.ScanEmitter().SetReads({{2, "VOSTREL-0001"}});
        scanner.ScanEmitter().SetPeriod(150, true);
    }
};

TEST_F(TerminalDuringCaptureTest, TheTerminalShowsTheReadsAndNothingOfThePicture)
{
    Plug();
    CImageCapture capture;
    ASSERT_TRUE(capture.Discover());
    StartTerminal();
    SImageFile file;
    EXPECT_TRUE(capture.Capture({IMAGE_TYPE_REALTIME, 2, IMAGE_FORMAT_BMP, 0}, file));
    EXPECT_EQ(160, file.width);
    EXPECT_TRUE(TerminalShows("VOSTREL-0001"));
    const wxString lines = TerminalLines();
    EXPECT_FALSE(lines.Contains("BM")) << "a picture's bytes reached the terminal";
    EXPECT_FALSE(lines.Contains(wxString(wxUniChar(0x02)))) << "a raw frame reached the terminal";
}

// Closing the scanner while a download runs waits for the download: the line is not
// taken from under it, and the scanner ends up with the new firmware.
TEST_F(LineSharingTest, ClosingDuringADownloadWaitsForItsEnd)
{
    Plug();
    CTempDir dir;
    SFirmwareContents contents;
    contents.deviceName = "HBS-HI880";
    contents.version = "V9.9";
    contents.type = 2;
    contents.parts = {{HBDS_FW_PART_APPLICATION, SampleFirmwareBytes(20000, 3)}};
    std::string error;
    const wxString path = dir.File("fw.bin");
    ASSERT_TRUE(WriteFirmwareFile(std::string(path.utf8_str()), BuildFirmwareImage(contents, error), error)) << error;
    m_scanner->Scanner().Firmware().SetFaults([] {
        SSimFirmwareFaults faults;
        faults.restartMs = 100;
        return faults;
    }());
    HbdsFirmwareProgress progress{};
    std::atomic<bool> upgraded{false};
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    std::thread download([&] { upgraded = link.UpgradeFirmwareFile(path, &progress, false); });
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (__atomic_load_n(&progress.step, __ATOMIC_RELAXED) < 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    link.CloseDevice(0);
    EXPECT_FALSE(link.IsOpen());
    download.join();
    EXPECT_TRUE(upgraded);
    EXPECT_EQ("V9.9", m_scanner->Scanner().Firmware().Version());
}

}  // namespace
