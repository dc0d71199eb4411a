// Image options, the image reply, raw pictures and decode areas, without a scanner;
// then pictures from the simulated imager through the engine's image request, checked
// by an independent barcode reader (zbarimg).
#include "app/TaskProgress.h"
#include "barcode/DecodeSupport.h"
#include "device/ImageReply.h"
#include "image/DecodeArea.h"
#include "image/ImageCapture.h"
#include "image/ImageOptions.h"
#include "simulator/InProcessScanner.h"
#include "simulator/PtyScanner.h"
#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace {

std::string Reply(const std::string& echo, const std::string& sizeAndLength, size_t pictureBytes)
{
    return std::string("\x02\x01") + "0000@" + echo + sizeAndLength + std::string(pictureBytes, '\x7f') + "\x06;\x03";
}

const char* Check(const std::string& reply, bool sizeInReply, bool quality, SImageReplyLayout& layout)
{
    return CheckImageReply(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), sizeInReply, quality, layout);
}

}  // namespace

// Where the picture lies in a good reply is the captures' business below: a wrong
// offset spoils every picture they decode.
TEST(ImageReply, BrokenRepliesNameTheCheckTheyFail)
{
    const std::string tooLong = "dwLen > dwSize - nCmdLen - HEADERLEN - STORAGELEN - nRatioLen";
    const struct {
        std::string reply;
        bool sizeInReply;
        std::string failed;
    } cases[] = {
        {Reply("IMGGET0T0R0F", "00000400", 1024).substr(0, 29), false, "dwSize<30"},
        {Reply("IMGGET0T0R0F", "00000400", 1020), false, tooLong},
        {Reply("IMGGET0T0R0F", "FFFFFFFF", 40), false, tooLong},
        {Reply("IMGGET0T0R0F", "0000004G", 40), false, tooLong},
        {Reply("IMGBGT1F", std::string(40, '1'), 0), true, "!bFindH"},
        {Reply("IMGBGT1F", "320W240H0000", 30).substr(0, 31), true, tooLong},
    };
    for (const auto& c : cases) {
        SImageReplyLayout layout;
        const char* failed = Check(c.reply, c.sizeInReply, false, layout);
        ASSERT_NE(nullptr, failed) << c.failed;
        EXPECT_EQ(c.failed, failed);
    }
}

TEST(ImageOptions, CapabilitiesOfferTheReportedRanges)
{
    SImageCapability full;
    ASSERT_TRUE(ParseImageCapability("0-1T0-2R0-3F0-3Q", full));
    EXPECT_EQ((std::vector<int>{0, 1}), full.types);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), full.ratios);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), full.formats);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), full.qualities);

    SImageCapability withoutQuality;
    ASSERT_TRUE(ParseImageCapability("0-1T0-2R0-3F", withoutQuality));
    EXPECT_EQ(full.qualities, withoutQuality.qualities);

    SImageCapability narrow;
    ASSERT_TRUE(ParseImageCapability("1T2R2F1-2Q", narrow));
    EXPECT_EQ((std::vector<int>{1}), narrow.types);
    EXPECT_EQ((std::vector<int>{1, 2}), narrow.qualities);

    ASSERT_TRUE(ParseBarcodeAreaCapability("1-2F", narrow));
    EXPECT_EQ((std::vector<int>{1, 2}), narrow.areaFormats);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), narrow.areaQualities);
    EXPECT_EQ((std::vector<int>{1}), narrow.types) << "the area option leaves the others as they were";

    for (const char* broken : {"0-1T0-2R0-3Fxx", "0-1T0-2R", "", "2-1T0R0F", "0-1T0-2R0-3F0-3", "aT0R0F"}) {
        SImageCapability capability;
        EXPECT_FALSE(ParseImageCapability(broken, capability)) << broken;
    }
}

TEST(ImageOptions, MenusOfferOnlyNamedNumbersAndRequestsSpellTheChoice)
{
    EXPECT_EQ((std::vector<int>{0, 1, 0xFFFF}), NamedTypes({0, 1, 2, 3}, true));
    EXPECT_EQ((std::vector<int>{1}), NamedTypes({1, 7}, false));
    EXPECT_EQ((std::vector<int>{2}), NamedRatios({2, 3, 4}));
    EXPECT_EQ((std::vector<int>{1, 3}), NamedFormats({1, 3, 9}));
    const struct {
        int type, ratio, format, quality;
        const char* text;
    } cases[] = {
        {1, 0, 2, 3, "IMGGET1T0R2F3Q"},
        {0, 1, 0, 3, "IMGGET0T1R0F"},
        {0, 2, 3, 0, "IMGGET0T2R3F"},
        {IMAGE_TYPE_BARCODE_AREA, 2, 1, 0, "IMGBGT1F"},
        {IMAGE_TYPE_BARCODE_AREA, 0, 2, 1, "IMGBGT2F1Q"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, BuildImageRequest(c.type, c.ratio, c.format, c.quality));
}

TEST(RawGreyPicture, QuarterOf640x480BecomesAGreyBmpOfItsRowsBottomUp)
{
    const int divisor = ImageRatioDivisor(1);
    const int width = 640 / divisor;
    const int height = 480 / divisor;
    std::vector<uint8_t> pixels(76800);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i / 320);  // each row its own grey
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(RawGreyToBmp(pixels.data(), pixels.size(), width, height, bmp));
    ASSERT_EQ(1078u + 76800, bmp.size());
    const auto field = [&](size_t at) { return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24; };
    EXPECT_EQ("BM", std::string(bmp.begin(), bmp.begin() + 2));
    // file size, pixel offset, header size, width, height, pixel bytes, palette entries
    const std::pair<size_t, int> fields[] = {{2, 1078 + 76800}, {10, 1078}, {14, 40}, {18, 320},
                                             {22, 240},          {34, 76800}, {46, 256}};
    for (const auto& [at, value] : fields)
        EXPECT_EQ(value, field(at)) << "at " << at;
    EXPECT_EQ(8, bmp[28]);
    EXPECT_EQ((std::vector<uint8_t>{200, 200, 200, 0}), std::vector<uint8_t>(&bmp[54 + 800], &bmp[54 + 804]));
    EXPECT_EQ(239, bmp[1078]) << "the bottom row comes first";
    EXPECT_EQ(0, bmp[1078 + 239 * 320]);

    EXPECT_FALSE(RawGreyToBmp(pixels.data(), 76799, width, height, bmp));
    EXPECT_TRUE(bmp.empty());
}

TEST(DecodeArea, RegionOn640x480BecomesTheValuesOfEachMode)
{
    const SImageRect roi{100, 48, 480, 432};
    const SAimPoint aim{320, 240};
    const struct {
        int mode;
        DecodeAreaValues values;
    } cases[] = {
        {1, {{"CADTOP", 10}, {"CADBOT", 90}, {"CADLEF", 15}, {"CADRIG", 75}}},
        {5, {{"CADDTP", 48}, {"CADDBT", 432}, {"CADDLF", 100}, {"CADDRG", 480}}},
        {6, {{"CADATP", 192}, {"CADABT", 192}, {"CADALF", 220}, {"CADARG", 160}}},
    };
    for (const auto& c : cases) {
        DecodeAreaValues values;
        EXPECT_EQ(EDecodeAreaResult::Changed, RoiToDecodeArea(c.mode, roi, 640, 480, aim, values)) << c.mode;
        EXPECT_EQ(c.values, values) << c.mode;
        // The window opens with the rectangle the values describe.
        SImageRect back;
        const std::map<wxString, int> byName(values.begin(), values.end());
        const auto valueOf = [&](const wxString& name, int& value) {
            return byName.count(name) && (value = byName.at(name), true);
        };
        ASSERT_TRUE(DecodeAreaToRoi(c.mode, valueOf, 640, 480, aim, back)) << c.mode;
        if (c.mode != 1) {
            EXPECT_EQ(roi, back) << c.mode;
        }
    }
    DecodeAreaValues values;
    EXPECT_EQ(EDecodeAreaResult::AimOutside, RoiToDecodeArea(6, roi, 640, 480, SAimPoint{90, 240}, values));
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(EDecodeAreaResult::ModeWithoutArea, RoiToDecodeArea(0, roi, 640, 480, aim, values));
}

TEST(DecodeArea, AimingPointWithItsAdjustment)
{
    SAimPoint aim;
    ASSERT_TRUE(ParseAimPoint("320W240H", aim));
    EXPECT_TRUE(ApplyAimAdjustment("2T5B1L4R", aim));
    EXPECT_EQ(323, aim.x);
    EXPECT_EQ(243, aim.y);
    EXPECT_FALSE(ApplyAimAdjustment("2T5B1L", aim));
    EXPECT_EQ(323, aim.x);
    EXPECT_FALSE(ParseAimPoint("W240H", aim));
}

TEST(DecodeArea, ContrastFormula)
{
    const struct {
        int channel, position, result;
    } cases[] = {{37, 100, 37}, {255, 100, 255}, {0, 0, 128}, {255, 0, 128}, {255, 255, 255},
                 {0, 255, 0},   {100, 200, 72},  {129, 50, 128}, {27, 50, 78}};
    for (const auto& c : cases)
        EXPECT_EQ(c.result, ContrastChannel(static_cast<unsigned char>(c.channel), c.position))
            << c.channel << " at " << c.position;
}

TEST(DecodeArea, ArrowKeysMoveOrShrinkTheSelection)
{
    const struct {
        int key;
        bool shift;
        SImageRect result;
    } cases[] = {
        {WXK_LEFT, false, {9, 20, 29, 40}},  {WXK_DOWN, false, {10, 21, 30, 41}},
        {WXK_LEFT, true, {10, 20, 29, 40}},  {WXK_UP, true, {10, 20, 30, 39}},
        {WXK_RIGHT, true, {11, 20, 30, 40}}, {WXK_DOWN, true, {10, 21, 30, 40}},
    };
    for (const auto& c : cases) {
        SImageRect rect{10, 20, 30, 40};
        EXPECT_TRUE(NudgeSelection(c.key, c.shift, rect));
        EXPECT_EQ(c.result, rect) << c.key << (c.shift ? " with Shift" : "");
    }
    SImageRect rect{10, 20, 30, 40};
    EXPECT_FALSE(NudgeSelection('A', false, rect));
}

// A region drawn on a 1:4 picture is scaled up to the full frame; on a barcode area
// (a 320 × 320 crop from the middle of 640 × 480) it is moved, not stretched; and a
// decode area is shown back on each picture where it lies.
TEST(DecodeArea, RegionsMapThroughThePicturesPlaceInTheFullFrame)
{
    const struct {
        int width, height;
        bool barcodeArea;
        SImageRect drawn;
        SImageRect full;
    } cases[] = {
        {640, 480, false, {10, 20, 110, 220}, {10, 20, 110, 220}},
        {160, 120, false, {10, 20, 110, 100}, {40, 80, 440, 400}},
        {320, 320, true, {0, 0, 320, 320}, {160, 80, 480, 400}},
        {320, 320, true, {10, 20, 110, 220}, {170, 100, 270, 300}},
    };
    for (const auto& c : cases) {
        const SPicturePlacement placement = PlacePicture(c.width, c.height, 640, 480, c.barcodeArea);
        EXPECT_EQ(c.full, PictureToFullFrame(c.drawn, c.width, c.height, placement)) << c.width;
        EXPECT_EQ(c.drawn, FullFrameToPicture(c.full, c.width, c.height, placement)) << c.width;
    }
    // A decode area outside the barcode area cannot be shown on it; one across its
    // edge is shown as far as the picture goes.
    const SPicturePlacement area = PlacePicture(320, 320, 640, 480, true);
    EXPECT_TRUE(FullFrameToPicture({0, 0, 100, 100}, 320, 320, area).IsEmpty());
    EXPECT_EQ((SImageRect{0, 0, 40, 20}), FullFrameToPicture({100, 50, 200, 100}, 320, 320, area));
}

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
    std::atomic<bool> ended{false};
    CTaskProgress progress;
    std::thread worker([&] {
        WatchThisThreadsTask(&progress);
        SImageFile file;
        captured = capture.Capture({IMAGE_TYPE_REALTIME, 1, IMAGE_FORMAT_RAW, 0}, file, &stop);
        WatchThisThreadsTask(nullptr);
        ended = true;
    });
    // Stopped once the reply's header, which announces the picture's size, has come.
    while (progress.Total() == 0 && !ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
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
