// Pictures from the simulated imager through the engine's image request, checked by
// an independent barcode reader (zbarimg).
#include "barcode/DecodeSupport.h"
#include "support/CoreTest.h"
#include "image/ImageCapture.h"
#include "simulator/InProcessScanner.h"
#include "simulator/PtyScanner.h"
#include "app/TaskProgress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

namespace {

// Fast enough that a test waits a second per picture, not minutes.
constexpr uint32_t kLineRate = 921600;

// The core's singletons, the link among them, go before the scanner the link talks to.
class ImageCaptureTest : public CCoreTest {
protected:
    void SetUp() override
    {
        SSimScannerProfile profile;
        profile.baudRate = kLineRate;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_DATA_DIR "/Config/HI880.xml", profile, error);
        ASSERT_TRUE(scanner) << error;
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
        ASSERT_NE(nullptr, OpenTestDevice(m_scanner->Start(), kLineRate, 2000));
        ASSERT_TRUE(m_capture.Discover());
    }

    CImageCapture m_capture;
    std::unique_ptr<CInProcessScanner> m_scanner;
    CTempDir m_dir;
};

}  // namespace

TEST_F(ImageCaptureTest, DiscoveryReadsSizeOptionsAndBarcodeAreaAndKeepsTheReadTimeOut)
{
    EXPECT_EQ(std::make_pair(640, 480), std::make_pair(m_capture.FullWidth(), m_capture.FullHeight()));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), m_capture.Capability().qualities);
    EXPECT_TRUE(m_capture.HasBarcodeArea());
    EXPECT_EQ((std::vector<int>{1, 2}), m_capture.Capability().areaFormats);
    EXPECT_EQ(2000, CHBDataStreamMnt::GetInstance().GetReadTimeout());

    SAimPoint aim;
    ASSERT_TRUE(CImageCapture::ReadAimPoint(aim));
    EXPECT_EQ(std::make_pair(320, 240), std::make_pair(aim.x, aim.y));
}

TEST_F(ImageCaptureTest, EveryFormatDecodesAndItsBarcodeReadsBack)
{
    const struct {
        SImageChoice choice;
        const char* file;
        int width, height;
    } cases[] = {
        {{IMAGE_TYPE_REALTIME, 1, IMAGE_FORMAT_RAW, 0}, "raw.bmp", 320, 240},
        {{IMAGE_TYPE_DECODE, 1, IMAGE_FORMAT_BMP, 0}, "quarter.bmp", 320, 240},
        {{IMAGE_TYPE_REALTIME, 0, IMAGE_FORMAT_JPEG, 3}, "full.jpg", 640, 480},
        {{IMAGE_TYPE_REALTIME, 1, IMAGE_FORMAT_TIFF, 0}, "quarter.tiff", 320, 240},
        {{IMAGE_TYPE_BARCODE_AREA, 0, IMAGE_FORMAT_BMP, 0}, "area.bmp", 320, 320},
    };
    // The bar of the capture window counts the bytes the picture's header announced.
    CTaskProgress progress;
    WatchThisThreadsTask(&progress);
    for (const auto& c : cases) {
        SImageFile file;
        progress.Start(0);
        ASSERT_TRUE(m_capture.Capture(c.choice, file)) << c.file;
        EXPECT_GT(progress.Total(), 1000u) << c.file;
        EXPECT_GE(progress.Done(), progress.Total()) << c.file;
        EXPECT_EQ(std::make_pair(c.width, c.height), std::make_pair(file.width, file.height)) << c.file;
        const std::string path = m_dir.Path().ToStdString() + "/" + c.file;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.bytes.data()),
                                                    static_cast<std::streamsize>(file.bytes.size()));
        EXPECT_NE(std::string::npos, RunCommand("zbarimg -q --raw '" + path + "' 2>/dev/null").find("HBS-HI880"))
            << c.file;
    }
    WatchThisThreadsTask(nullptr);
}

// A raw picture that takes seconds: stopped, it must leave nothing of itself for the
// next reply. On a pseudo-terminal the scanner goes on sending what it started, as a
// real one does; the capture drains that tail on its own thread while it still holds
// the line, so a query asked meanwhile from another thread waits its turn.
TEST(StoppedCapture, TheNextQueryFromAnotherThreadGetsItsOwnReply)
{
    SSimScannerProfile profile;
    profile.baudRate = 115200;  // raw 1:4 then takes seven seconds
    std::string error;
    CPtyScanner line(CSimulatedScanner::FromModelFile(VOSTREL_DATA_DIR "/Config/HI880.xml", profile, error));
    ASSERT_TRUE(line.Start(error)) << error;
    ASSERT_NE(nullptr, OpenTestDevice(line.Path(), profile.baudRate, 2000));
    CImageCapture capture;
    ASSERT_TRUE(capture.Discover());

    std::atomic<bool> stop{false};
    std::atomic<bool> captured{true};
    std::thread worker([&] {
        SImageFile file;
        captured = capture.Capture({IMAGE_TYPE_REALTIME, 1, IMAGE_FORMAT_RAW, 0}, file, &stop);
    });
    // Long enough for the reply's header and the first pixels to be on their way.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    stop = true;
    size_t count = 0;
    const ReplyItem* items = CSaveCfg::GetInstance().SendCommand(L"IMGGWH", L"", count);
    worker.join();
    EXPECT_FALSE(captured);
    ASSERT_EQ(1u, items ? count : 0u);
    EXPECT_EQ(REPLY_ACK, items[0].status);
    EXPECT_EQ(L"IMGGWH=640W480H", std::wstring(items[0].command) + L"=" + items[0].value);
    CSaveCfg::ResetInstance();
    CHBDataStreamMnt::ResetInstance();
}
