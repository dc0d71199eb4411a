// Firmware files and their download into the simulated scanner, through the
// device-link library's C operations as the tool calls them.
#include "SimTestSupport.h"
#include "fwpack/FirmwarePack.h"
#include "simulator/InProcessScanner.h"

#include "hbds/hbds.h"
#include "hbds/hbds_firmware.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <tuple>

namespace {

const uint32_t kRate = 115200;

std::vector<uint8_t> TwoPartImage(const std::string& device = "HBS-T100")
{
    SFirmwareContents contents;
    contents.deviceName = device;
    contents.version = "V3.00.007";
    contents.parts = {{HBDS_FW_PART_KERNEL, SampleFirmwareBytes(3000, 1)}, {HBDS_FW_PART_APPLICATION, SampleFirmwareBytes(5000, 2)}};
    std::string error;
    return BuildFirmwareImage(contents, error);
}

class SimFirmwareTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = (std::filesystem::temp_directory_path() / ("fw_" + std::to_string(::getpid()) + ".bin")).string();
        WriteImage(TwoPartImage());
        m_scanner = std::make_unique<CInProcessScanner>(FixtureScanner(Rate()), "sim:FW-TEST");
        ASSERT_NE(0u, m_scanner->Start());
        Inject("restart:200");
        ASSERT_TRUE(m_link.Open(m_scanner->Port(), Rate()));
    }
    void TearDown() override { std::remove(m_path.c_str()); }
    virtual uint32_t Rate() const { return kRate; }

    void WriteImage(const std::vector<uint8_t>& image)
    {
        std::string error;
        ASSERT_TRUE(WriteFirmwareFile(m_path, image, error)) << error;
    }
    void Faults(SSimFirmwareFaults faults) { m_scanner->Scanner().Firmware().SetFaults(faults); }
    // One fault written as the program's option takes it, with a quick restart.
    void Inject(const char* fault)
    {
        SSimFirmwareFaults faults;
        faults.restartMs = 200;
        ASSERT_TRUE(faults.Add(fault)) << fault;
        Faults(faults);
    }
    bool Download(int nameCheck = 1)
    {
        return hbds_update_firmware_file_1(m_link.Handle(), m_path.c_str(), nameCheck, 30, &m_progress, 0, &m_status) != 0;
    }
    CSimFirmware& Firmware() { return m_scanner->Scanner().Firmware(); }

    std::string m_path;
    std::unique_ptr<CInProcessScanner> m_scanner;
    CLink m_link;
    uint32_t m_status = 0;
    HbdsFirmwareProgress m_progress{};
};

// Each damage to a sound file, and what the reader makes of it.
struct SDamage {
    const char* name;
    void (*apply)(std::vector<uint8_t>& image);
};

const SDamage kDamages[] = {
    {"PartByteFlipped", [](std::vector<uint8_t>& image) { image[HBDS_KERNEL_INFO_SIZE + 10] ^= 0x01; }},
    {"LastByteCut", [](std::vector<uint8_t>& image) { image.pop_back(); }},
    {"ByteAppended", [](std::vector<uint8_t>& image) { image.push_back(0); }},
    {"DeviceNameChanged", [](std::vector<uint8_t>& image) { image[12] = 'X'; }},
    {"WrongMagic", [](std::vector<uint8_t>& image) { image[0] = 'Z'; }},
    {"PartLengthGrown", [](std::vector<uint8_t>& image) { image[offsetof(HbdsKernelInfo, parts) + 8] += 1; }},
    {"RecordOnly", [](std::vector<uint8_t>& image) { image.resize(HBDS_KERNEL_INFO_SIZE); }},
};

class DamagedFileTest : public SimFirmwareTest, public ::testing::WithParamInterface<SDamage> {};

TEST_P(DamagedFileTest, IsRefusedBeforeAnythingIsSent)
{
    std::vector<uint8_t> image = TwoPartImage();
    GetParam().apply(image);
    WriteImage(image);
    HbdsKernelInfo info;
    uint32_t out = 0;
    EXPECT_EQ(0, hbds_get_kernel_info(m_path.c_str(), &info, &out));
    EXPECT_EQ(0, Download());
    EXPECT_EQ(uint32_t(HBDS_ERR_INVALID_FILE_FORMAT), m_status);
    EXPECT_EQ(0, Firmware().PacketsHeard());
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedFileTest, ::testing::ValuesIn(kDamages),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(SimFirmwareTest, KernelInfo_GivesTypeAndNameAtTheirOffsetsAndTheNameCheckStopsWithStatus18)
{
    uint8_t record[HBDS_KERNEL_INFO_SIZE];
    uint32_t out = 1;
    ASSERT_NE(0, hbds_get_kernel_info(m_path.c_str(), record, &out));
    EXPECT_EQ(0u, out);
    uint32_t type = 0;
    std::memcpy(&type, record + 8, 4);
    EXPECT_EQ(2u, type);
    EXPECT_STREQ("HBS-T100", reinterpret_cast<const char*>(record + 12));
    WriteImage(TwoPartImage("HBS-OTHER"));
    EXPECT_FALSE(Download(1));
    EXPECT_EQ(uint32_t(HBDS_ERR_STOPPED), m_status);
    EXPECT_EQ(0, Firmware().CompletedDownloads());
    EXPECT_TRUE(Download(0)) << m_status;
    EXPECT_EQ(1, Firmware().CompletedDownloads());
}

TEST_F(SimFirmwareTest, Download_RestartsTheScannerWithTheNewVersionAndFillsTheProgress)
{
    ASSERT_TRUE(Download()) << m_status;
    EXPECT_EQ(0u, m_status);
    EXPECT_EQ("V3.00.007", Firmware().Version());
    EXPECT_NE(std::string::npos, m_link.Exchange("@QRYSYS").find("Firmware: V3.00.007"));
    // Part, step, the last two steps' percentages, the kinds, 3 + 5 blocks of 1024, no resend.
    // (Unary plus copies the fields: the record is packed.)
    EXPECT_EQ(std::make_tuple(1u, 3u, 100u, 100u, int(HBDS_FW_PART_KERNEL), int(HBDS_FW_PART_APPLICATION), 8u, 0u),
              std::make_tuple(+m_progress.part, +m_progress.step, +m_progress.stepPercent[2], +m_progress.stepPercent[3],
                              +m_progress.partKinds[0], +m_progress.partKinds[1], +m_progress.blocksSent, +m_progress.resends));
}

TEST_F(SimFirmwareTest, LostBlock_IsSentAgainAndTheDownloadSucceeds)
{
    Inject("lose:2");
    ASSERT_TRUE(Download()) << m_status;
    EXPECT_EQ(1u, m_progress.resends);
    EXPECT_EQ("V3.00.007", Firmware().Version());
}

struct SFailure {
    const char* fault;
    uint32_t step;  // where the download stops
};

class FailureTest : public SimFirmwareTest, public ::testing::WithParamInterface<SFailure> {};

TEST_P(FailureTest, FailsAtTheChosenStepAndKeepsTheOldVersion)
{
    Inject(GetParam().fault);
    EXPECT_FALSE(Download());
    EXPECT_EQ(uint32_t(HBDS_ERR_UPDATE_FAILED), m_status);
    EXPECT_EQ(GetParam().step, m_progress.step);
    EXPECT_EQ("V2.1", Firmware().Version());
}

INSTANTIATE_TEST_SUITE_P(Steps, FailureTest,
                         ::testing::Values(SFailure{"fail:P", 0}, SFailure{"fail:S", 1}, SFailure{"fail:D:1", 2},
                                           SFailure{"fail:V", 3}, SFailure{"fail:E", 3}));

TEST_F(SimFirmwareTest, PowerLoss_LeavesABootModeThatOnlyADownloadEnds)
{
    Inject("power:1");
    EXPECT_FALSE(Download());
    EXPECT_EQ(uint32_t(HBDS_ERR_BOOT_MODE), m_status) << "the user must hear that a download again rescues it";
    EXPECT_TRUE(Firmware().InBootMode());
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const std::string info = m_link.Exchange("@QRYSYS");
    EXPECT_NE(std::string::npos, info.find("Boot mode")) << info;
    EXPECT_NE(std::string::npos, m_link.Exchange("@232BAD*").find('\x15')) << "a setting is refused by the boot loader";

    ASSERT_TRUE(Download()) << m_status;  // the rescue
    EXPECT_FALSE(Firmware().InBootMode());
    EXPECT_EQ("V3.00.007", Firmware().Version());
}

// How the end of a download can go astray, and how the download is settled anyway.
struct SEndFault {
    const char* name;
    const char* fault;
    uint32_t status;        // what the download itself returns
    bool reopenConfirms;  // the connection went: a new one must ask the scanner
};

class EndFaultTest : public SimFirmwareTest, public ::testing::WithParamInterface<SEndFault> {};

TEST_P(EndFaultTest, TheScannerRunningTheNewVersionIsNoFailure)
{
    Inject(GetParam().fault);
    EXPECT_EQ(GetParam().status == HBDS_OK, Download());
    EXPECT_EQ(GetParam().status, m_status);
    EXPECT_EQ(1, Firmware().CompletedDownloads()) << "the scanner took the file once, and only once";
    EXPECT_EQ("V3.00.007", Firmware().Version());
    if (!GetParam().reopenConfirms)
        return;
    hbds_close(m_link.Handle());
    ASSERT_TRUE(m_link.Open(m_scanner->Port(), Rate()));
    uint32_t status = 99;
    EXPECT_EQ(1, hbds_confirm_firmware(m_link.Handle(), m_path.c_str(), 5000, &status));
    EXPECT_EQ(0u, status);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, EndFaultTest,
    ::testing::Values(SEndFault{"LostEndAnswer", "lose:E", HBDS_OK, false},
                      SEndFault{"ConnectionLostAtRestart", "drop", HBDS_ERR_RESTART_UNSEEN, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SimFirmwareTest, Confirm_SaysWhatTheScannerRunsWhenItIsNotTheFilesVersion)
{
    uint32_t status = 0;
    EXPECT_EQ(0, hbds_confirm_firmware(m_link.Handle(), m_path.c_str(), 2000, &status));
    EXPECT_EQ(uint32_t(HBDS_ERR_UPDATE_FAILED), status) << "the old version is running";

    Inject("power:0");
    EXPECT_FALSE(Download());
    EXPECT_EQ(0, hbds_confirm_firmware(m_link.Handle(), m_path.c_str(), 2000, &status));
    EXPECT_EQ(uint32_t(HBDS_ERR_BOOT_MODE), status);
}

// At 9600 baud the kernel record alone needs about three seconds on the line.
class SlowLineFirmwareTest : public SimFirmwareTest {
protected:
    uint32_t Rate() const override { return 9600; }
};

TEST_F(SlowLineFirmwareTest, ASetUpPacketLongerThanASecondOnTheWireIsWaitedFor)
{
    SFirmwareContents contents;
    contents.deviceName = "HBS-T100";
    contents.version = "V4";
    contents.parts = {{HBDS_FW_PART_APPLICATION, SampleFirmwareBytes(500, 9)}};
    std::string error;
    WriteImage(BuildFirmwareImage(contents, error));
    EXPECT_TRUE(Download()) << m_status;
    EXPECT_EQ(0u, m_progress.resends);
}

TEST(SimFirmwareFaultsTest, OptionsOfTheProgram)
{
    for (const char* accepted : {"fail:P", "fail:E", "fail:D:7", "lose:3", "power:0", "restart:50", "lose:E", "drop"})
        EXPECT_TRUE(SSimFirmwareFaults().Add(accepted)) << accepted;
    for (const char* refused : {"fail:X", "fail:D:", "lose:-1", "power", "restart:x", "lose:V", "drop:1"})
        EXPECT_FALSE(SSimFirmwareFaults().Add(refused)) << refused;
}

}  // namespace
