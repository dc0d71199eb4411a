// The firmware upgrade rules that need no window: the progress box and bar, the
// batch files, the row decisions, the day logs, and the link manager's processor
// check and name question around a download into a simulated scanner.
#include "device/FirmwareBatch.h"
#include "fwpack/FirmwarePack.h"
#include "simulator/InProcessScanner.h"
#include "simulator/SimulatedScanner.h"
#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <memory>
#include <tuple>

namespace {

wxString FirmwareFile(const CTempDir& dir, const std::string& device, uint32_t type)
{
    SFirmwareContents contents;
    contents.deviceName = device;
    contents.version = "V9.9";
    contents.type = type;
    contents.parts = {{HBDS_FW_PART_APPLICATION, SampleFirmwareBytes(1500, 7)}};
    std::string error;
    const wxString path = dir.File(wxString::Format("fw_%s_%u.bin", device, type));
    EXPECT_TRUE(WriteFirmwareFile(std::string(path.utf8_str()), BuildFirmwareImage(contents, error), error)) << error;
    return path;
}

TEST(FirmwareProgressTest, TextListsFinishedPartsAndTheBarIsTenTimesThePercentUpTo1000)
{
    HbdsFirmwareProgress progress{};
    EXPECT_EQ("", UpgradeProgressText(progress)) << "nothing is logged before the download begins";
    progress.partCount = 2;
    progress.partKinds[0] = HBDS_FW_PART_KERNEL;
    progress.partKinds[1] = 9;
    progress.part = 1;
    progress.step = 1;
    const wxString expected = wxString::FromUTF8(
        "更新 Kernel 模块\r\n\tsend update command and probing\r\n\tset param\r\n\tsend data\r\n\twait device to update\r\n"
        "更新未知模块\r\n\tsend update command and probing\r\n\tset param\r\n");
    EXPECT_EQ(expected, UpgradeProgressText(progress));
    const std::pair<uint32_t, int> cases[] = {{0, 0}, {37, 370}, {100, 1000}, {101, 0}, {4000000000u, 0}};
    for (const auto& [percent, bar] : cases)
        EXPECT_EQ(bar, UpgradeBarValue(percent)) << percent;
}

TEST(BatchRowTest, DecisionsInTheirOrder)
{
    const struct {
        SBatchRowFacts facts;  // port lock, file match, firmware mode, file type and device, product, done
        const char* expected;
    } cases[] = {
        {{2, false, true, 2, "HBS-A", "HBS-A", false}, "ID_PORT_UNLOCKED"},
        {{-1, false, true, 2, "HBS-A", "HBS-A", true}, "ID_PORT_UNLOCKED"},
        {{3, true, true, 3, "HBS-A", "HBS-A", false}, "ID_MATCH_FAIL"},
        {{3, true, true, 2, "HBS-B", "HBS-A", false}, "ID_MATCH_FAIL"},
        {{3, true, true, 1, "HBS-A", "HBS-A", true}, "ID_RESULT_COMPLETE"},
        {{3, true, false, 0, "", "HBS-A", false}, "ID_RESULT_UPDATING"},
        {{3, false, true, 7, "HBS-B", "HBS-A", false}, "ID_RESULT_UPDATING"},
    };
    for (const auto& c : cases) {
        const SBatchRowDecision decision = DecideBatchRow(c.facts);
        EXPECT_STREQ(c.expected, decision.identifier) << c.facts.portLockMode << " " << c.facts.fileType;
        EXPECT_EQ(std::string(c.expected) == "ID_RESULT_UPDATING", decision.start);
    }
}

// Scanners without a serial number are kept apart by port and name; a scanner that is
// done stays done until a new file resets them all.
TEST(BatchFilesTest, ScannersWithoutSerialNumberAreKeptApartAndStayDoneUntilANewFile)
{
    const struct {
        const char* serialNumber;
        const char* product;
        const char* port;
        const char* key;
    } cases[] = {
        {"SN7", "HBS-A", "COM3", "SN7"},
        {"", "HBS-A", "COM3", "COM3_HBS-A"},
        {"", "HBS-A", "COM4", "COM4_HBS-A"},
        {"", "HBS-B", "COM3", "COM3_HBS-B"},
        {"", "HBS A/=2", "USB-1", "USB-1_HBS_A__2"},
    };
    CTempDir dir;
    for (const auto& c : cases) {
        DeviceEntry entry;
        entry.serialNumber = c.serialNumber;
        entry.productName = c.product;
        EXPECT_EQ(c.key, BatchScannerKey(entry, c.port)) << c.product << " " << c.port;
    }
    DeviceEntry first;
    first.productName = "HBS-A";
    const wxString key = BatchScannerKey(first, "COM3");
    EXPECT_FALSE(IsScannerDone(dir.Path(), key));  // no file at all
    SetScannerDone(dir.Path(), key, true);
    SetScannerDone(dir.Path(), "SN2", true);
    EXPECT_TRUE(IsScannerDone(dir.Path(), key));
    EXPECT_FALSE(IsScannerDone(dir.Path(), BatchScannerKey(first, "COM4"))) << "the scanner on the other port is due";
    ResetAllScanners(dir.Path());
    EXPECT_FALSE(IsScannerDone(dir.Path(), key));
    EXPECT_FALSE(IsScannerDone(dir.Path(), "SN2"));
    EXPECT_NE(std::string::npos, dir.Read("Firmupdate.ini").find("SN2=FALSE"));
}

TEST(BatchFilesTest, TheNewVersionTakesThePlaceOfTheOldInTheSystemText)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"Hardware: V1.0\r\nFirmware: V1.00.001\r\nKernel: V1", "Hardware: V1.0\r\nFirmware: V9.9\r\nKernel: V1"},
        {"Hardware: V1.0\nFirmware: V1", "Hardware: V1.0\nFirmware: V9.9"},
        {"Hardware: V1.0\r\nV1", "Hardware: V1.0\r\nV9.9"},
        {"Firmware: V1", "Firmware: V1"},
    };
    for (const auto& c : cases) {
        const wxString after = WithFirmwareVersion(c.before, "V9.9");
        EXPECT_EQ(c.after, after) << c.before;
        if (after != c.before) {
            EXPECT_EQ("V9.9", BatchVersionOf(after));
        }
    }
}

TEST(BatchFilesTest, DelaysPortLockAndVersionComeFromTheirFilesOrDefaults)
{
    CTempDir dir;
    const auto read = [&dir] {
        return std::make_tuple(ReadBatchDelays(dir.Path()).afterListMs, ReadBatchDelays(dir.Path()).afterRoundMs,
                               ReadPortLockMode(dir.Path()));
    };
    EXPECT_EQ(std::make_tuple(1000, 3000, -1), read());
    dir.Write("Time.ini", "[Time]\ndelay=5\ndelayEnd=0\n");
    dir.Write("ufcom.ini", "[Parameters]\nVcomBindMode=3\n");
    EXPECT_EQ(std::make_tuple(5, 0, 3), read());
    EXPECT_EQ("", BatchVersionOf("Firmware: V1.00.001"));
}

TEST(DayLogTest, OneDayAppendsToOneFileAndANewDayStartsAnother)
{
    CTempDir dir;
    const wxDateTime day(7, wxDateTime::Dec, 2026, 9, 5, 3);
    const wxString path = DayLogPath(dir.Path(), day);
    EXPECT_TRUE(path.EndsWith(wxString("batch_update_log") + wxFileName::GetPathSeparator() + "20261207.xml"));
    EXPECT_EQ("2026-12-07 09:05:03", LogTimeText(day));
    ASSERT_TRUE(AppendDayLog(path, {"SN1", "HBS-A", "V1", "V2", "OK", LogTimeText(day)}));
    ASSERT_TRUE(AppendDayLog(path, {"SN2", "HBS-A", "V1", "V1", "FAIL", LogTimeText(day)}));
    const wxString nextDay = DayLogPath(dir.Path(), day + wxDateSpan::Day());
    ASSERT_TRUE(AppendDayLog(nextDay, {"SN3", "HBS-B", "V1", "V2", "OK", "x"}));

    CBatchLogXmlInfo log;
    ASSERT_TRUE(log.Load(path));
    ASSERT_EQ(2u, log.GetRecords().size());
    EXPECT_EQ("SN2", log.GetRecords()[1].serialNumber);
    EXPECT_EQ("FAIL", log.GetRecords()[1].state);
    ASSERT_TRUE(log.Load(nextDay));
    EXPECT_EQ(1u, log.GetRecords().size());
    const std::string text = dir.Read("batch_update_log/20261207.xml");
    EXPECT_NE(std::string::npos,
              text.find("<log SN=\"SN1\" Name=\"HBS-A\" OldVersion=\"V1\" Version=\"V2\" State=\"OK\" Time=\"2026-12-07 09:05:03\"/>"))
        << text;
}

TEST(DayLogTest, ABrokenLogIsLeftAsItIs)
{
    CTempDir dir;
    dir.Write("log.xml", "<Vostrel><log SN=");
    EXPECT_FALSE(AppendDayLog(dir.File("log.xml"), {"SN1", "A", "1", "2", "OK", "t"}));
    EXPECT_EQ("<Vostrel><log SN=", dir.Read("log.xml"));
}

// The link manager around a download: the processor rule and the name question.
class FirmwareManagerTest : public CCoreTest {
protected:
    void SetUp() override
    {
        SSimScannerProfile profile;
        profile.productName = "HBS-HI880";
        profile.baudRate = 115200;
        m_scanner = std::make_unique<CInProcessScanner>(std::make_unique<CSimulatedScanner>(CSimSettingsDatabase(), profile),
                                                        "sim:FW-MANAGER");
        ASSERT_NE(0u, m_scanner->Start());
        SSimFirmwareFaults quick;
        quick.restartMs = 100;
        m_scanner->Scanner().Firmware().SetFaults(quick);
        ASSERT_NE(nullptr, OpenTestDevice(m_scanner->Port()));
    }

    CTempDir m_dir;
    CMessageRecorder m_messages;
    std::unique_ptr<CInProcessScanner> m_scanner;
    CHBDataStreamMnt& m_link = CHBDataStreamMnt::GetInstance();
    HbdsFirmwareProgress m_progress{};
};

TEST_F(FirmwareManagerTest, ProcessorRuleByFileTypeAndDecoderAnswer)
{
    struct SCase {
        uint32_t type;
        const char* answer;
        bool compatible;
    };
    const SCase cases[] = {{1, "Decoder: KVMZ2287 rev B", true}, {1, "Decoder: SIM-D1", false},
                           {2, "Decoder: KVMZ2287", false},       {5, "", true},
                           {6, "Decoder: KVMZ2287", true},        {0, "", true}};
    for (const SCase& c : cases) {
        const wxString file = FirmwareFile(m_dir, "HBS-HI880", c.type);
        const DeviceQuery query = [&c](const wchar_t* request, std::vector<SReplyValue>& items) {
            EXPECT_EQ(wxString("@QRYDCV"), wxString(request));
            items = {{"QRYDCV", c.answer}};
            return true;
        };
        EXPECT_EQ(c.compatible, m_link.IsCpuCompatible(file, query)) << c.type << " " << c.answer;
    }
}

TEST_F(FirmwareManagerTest, RescueModeRefusesAnIncompatibleFileWithAMessage)
{
    CAppSettings::GetInstance().Values().checkCpu = 1;
    const DeviceQuery query = [](const wchar_t*, std::vector<SReplyValue>& items) {
        items = {{"QRYDCV", "Decoder: SIM-D1"}};
        return true;
    };
    EXPECT_FALSE(m_link.UpgradeFirmware(FirmwareFile(m_dir, "HBS-HI880", 1), &m_progress, query));
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ(wxString::FromUTF8("设备CPU不兼容，升级中止！"), m_messages.Texts()[0]);
    EXPECT_EQ(0, m_scanner->Scanner().Firmware().PacketsHeard());
}

TEST_F(FirmwareManagerTest, AListedScannerOfAnotherModelIsAskedAboutBeforeAnythingIsSent)
{
    m_link.GetCurrentDevice()->productName = "HBS-HI880";
    const wxString file = FirmwareFile(m_dir, "HBS-OTHER", 2);
    m_messages.Answer(wxNO);
    EXPECT_FALSE(m_link.UpgradeFirmware(file, &m_progress, DeviceQuery()));
    EXPECT_EQ(uint32_t(HBDS_ERR_STOPPED), m_link.GetCurrentDevice()->status);
    EXPECT_EQ(0, m_scanner->Scanner().Firmware().PacketsHeard());
    m_messages.Answer(wxYES);
    EXPECT_TRUE(m_link.UpgradeFirmware(file, &m_progress, DeviceQuery()));
    EXPECT_EQ("V9.9", m_scanner->Scanner().Firmware().Version());
    ASSERT_EQ(2u, m_messages.Texts().size()) << "one question each time, none from the download";
    EXPECT_EQ(wxString::FromUTF8("文件名与设备名不匹配，是否继续升级？"), m_messages.Texts()[1]);
    EXPECT_TRUE(m_link.UpgradeFirmware(FirmwareFile(m_dir, "HBS-HI880", 2), &m_progress, DeviceQuery()));
    EXPECT_EQ(2u, m_messages.Texts().size()) << "the scanner's own model is not asked about";
}

// How a download into the current scanner and into a batch scanner ends when its end
// or its middle goes astray: what the user is told, and the version then shown.
struct SManagerCase {
    const char* name;
    const char* fault;
    bool done;
    uint32_t status;
    bool newPath = false;  // the scanner comes back under another port name, found by its serial number
};

class FirmwareFaultTest : public FirmwareManagerTest, public ::testing::WithParamInterface<SManagerCase> {
protected:
    void Inject()
    {
        SSimFirmwareFaults faults;
        faults.restartMs = 100;
        ASSERT_TRUE(faults.Add(GetParam().fault));
        m_scanner->Scanner().Firmware().SetFaults(faults);
        SSimTiming timing;
        timing.newPathOnRestart = GetParam().newPath;
        m_scanner->Scanner().SetTiming(timing);
        m_oldPort = m_scanner->Port();
    }
    void Identify(DeviceEntry& entry) const
    {
        entry.systemInfo = "Hardware: V1.0\r\nFirmware: V1.00.001";
        if (GetParam().newPath)
            entry.serialNumber = m_scanner->Scanner().Profile().serialNumber;
    }
    // What the user is told, the version then run and shown, and where the entry is
    // after the download: on the port the scanner is on now.
    void Expect(bool done, const DeviceEntry& entry, const char* via)
    {
        EXPECT_EQ(GetParam().done, done) << via;
        EXPECT_EQ(GetParam().status, entry.status) << via;
        EXPECT_EQ(GetParam().done ? "V9.9" : "V1.00.001", m_scanner->Scanner().Firmware().Version()) << via;
        if (GetParam().status != HBDS_OK) {
            EXPECT_FALSE(CHBDataStreamMnt::ErrorTextForStatus(entry.status).empty()) << via;
        }
        EXPECT_EQ(m_scanner->Port(), entry.serial.port) << via;
        EXPECT_EQ(GetParam().newPath, m_scanner->Port() != m_oldPort) << via;
        EXPECT_EQ(done ? "V9.9" : "V1.00.001", BatchVersionOf(entry.systemInfo)) << via;
    }
    uint32_t m_oldPort = 0;
};

TEST_P(FirmwareFaultTest, CurrentScanner)
{
    Inject();
    DeviceEntry& entry = *m_link.GetCurrentDevice();
    Identify(entry);
    const wxString file = FirmwareFile(m_dir, "HBS-HI880", 2);
    const bool done = m_link.UpgradeFirmware(file, &m_progress, DeviceQuery());
    if (done)
        m_link.NoteFirmwareVersion(file);
    Expect(done, *m_link.GetCurrentDevice(), "current");
    EXPECT_TRUE(m_link.IsOpen()) << "the scanner stays open for the user, over a new connection if it hung up";
}

TEST_P(FirmwareFaultTest, BatchScannerWithItsOwnConnection)
{
    Inject();
    m_link.CloseDevice(0);
    DeviceEntry entry;
    entry.kind = DEVICE_KIND_SERIAL;
    entry.serial = SerialSettings{m_scanner->Port(), 115200, 8, 0, 0, 0};
    Identify(entry);
    Expect(CHBDataStreamMnt::UpgradeEntryFirmware(entry, FirmwareFile(m_dir, "HBS-HI880", 2), &m_progress, true), entry,
           "batch");
}

INSTANTIATE_TEST_SUITE_P(Faults, FirmwareFaultTest,
                         ::testing::Values(SManagerCase{"LostEndAnswer", "lose:E", true, HBDS_OK},
                                           SManagerCase{"ConnectionLostAtRestart", "drop", true, HBDS_OK},
                                           SManagerCase{"PowerLoss", "power:1", false, HBDS_ERR_BOOT_MODE},
                                           SManagerCase{"BackOnANewPath", "restart:300", true, HBDS_OK, true}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
