// Two parts of the program at one simulated scanner at the same time, as a user gets
// them with the terminal open, a picture on its way or a download running: each part
// must get whole replies of its own. Were the line shared, their bytes would mix.
#include "BatchDataFetch.h"
#include "CommandCenterSession.h"
#include "FirmwarePack.h"
#include "HBDataStreamMnt.h"
#include "ImageCapture.h"
#include "InProcessScanner.h"
#include "LinkFixture.h"
#include "SaveCfg.h"
#include "SimulatedScanner.h"
#include "TempDir.h"
#include "../simulator/SimTestSupport.h"
#include "CoreTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

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
