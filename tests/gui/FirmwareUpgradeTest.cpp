// Firmware upgrades of one simulated scanner and of a batch on pseudo-terminals.
#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "device/FirmwareBatch.h"
#include "device/gui/DeviceBatchUpgradeDlg.h"
#include "device/gui/DeviceUpgradeDlg.h"
#include "device/gui/Dialog_Log.h"
#include "device/HBDataStreamMnt.h"
#include "fwpack/FirmwarePack.h"
#include "shell/DeviceOnLineDlg.h"
#include "shell/MainWindowEvents.h"
#include "shell/VostrelDlg.h"
#include "simulator/PtyScanner.h"

#include "GuiTestSupport.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/timer.h>

#include <algorithm>

namespace {

class FirmwareUpgradeTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(Start("[cfg]\nlang=EN\n"));
    }
    void TearDown() override
    {
        SetFileChooser(nullptr);
        hbds_clear_serial_paths();
        MainWindowFixture::TearDown();
    }

    wxString Firmware(const char* device, const char* version)
    {
        SFirmwareContents contents;
        contents.deviceName = device;
        contents.version = version;
        contents.parts = {{HBDS_FW_PART_KERNEL, SampleFirmwareBytes(2500, 3)}, {HBDS_FW_PART_APPLICATION, SampleFirmwareBytes(4000, 4)}};
        std::string error;
        const wxString path = m_dir.File("firmware.bin");
        EXPECT_TRUE(WriteFirmwareFile(std::string(path.utf8_str()), BuildFirmwareImage(contents, error), error)) << error;
        SetFileChooser([path](const SFileQuestion&) { return path; });
        return path;
    }

    // A simulated HI880 on its own pseudo-terminal, listed among the serial ports.
    static std::unique_ptr<CPtyScanner> PlugPty(const std::string& serialNumber, const SSimFirmwareFaults& faults)
    {
        SSimScannerProfile profile;
        profile.productName = "HBS-HI880";
        profile.serialNumber = serialNumber;
        profile.baudRate = 115200;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(std::string(VOSTREL_DATA_DIR) + "/Config/HI880.xml", profile, error);
        EXPECT_NE(nullptr, scanner) << error;
        scanner->Firmware().SetFaults(faults);
        auto served = std::make_unique<CPtyScanner>(std::move(scanner));
        EXPECT_TRUE(served->Start(error)) << error;
        hbds_add_serial_path(served->Path().c_str());
        return served;
    }

    // `count` scanners, each restarting 300 ms after a download and with `serial(i)`,
    // the i-th failing as `fault(i, faults)` says.
    std::vector<std::unique_ptr<CPtyScanner>> PlugPtys(int count, const std::function<std::string(int)>& serial,
                                                       const std::function<void(int, SSimFirmwareFaults&)>& fault)
    {
        std::vector<std::unique_ptr<CPtyScanner>> scanners;
        for (int i = 0; i < count; ++i) {
            SSimFirmwareFaults faults;
            faults.restartMs = 300;
            fault(i, faults);
            scanners.push_back(PlugPty(serial(i), faults));
        }
        return scanners;
    }

    // A shown batch window that has started on a new firmware file, with the ports
    // bound as `bindMode` and a scanner taken as done `delayEnd` ms after it ended.
    CDeviceBatchUpgradeDlg* StartBatch(int delayEnd, int bindMode, wxString* file = nullptr)
    {
        m_dir.Write("Time.ini", "[Time]\ndelay=0\ndelayEnd=" + std::to_string(delayEnd) + "\n");
        m_dir.Write("ufcom.ini", "[Parameters]\nVcomBindMode=" + std::to_string(bindMode) + "\n");
        auto* dialog = new CDeviceBatchUpgradeDlg(m_window, m_dir.Path());
        dialog->Show();
        const wxString path = Firmware("HBS-HI880", "V2.00.001");
        if (file)
            *file = path;
        dialog->ChooseFile();
        dialog->Start();
        return dialog;
    }
};

TEST_F(FirmwareUpgradeTest, OnlinePageUpgradesTheScannerWhichThenShowsItsNewVersion)
{
    Plug("HBS-HI880");
    Firmware("HBS-HI880", "V2.00.001");
    PostNavigateRequest(m_window, NAVIGATE_ONLINE, nullptr);
    wxTheApp->ProcessPendingEvents();
    CDeviceOnLineDlg* page = m_window->GetOnlinePage();
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(RunUntil([page] { return !page->IsRefreshing(); }, 20));
    ASSERT_EQ(1u, page->GetEntries().size());
    page->SelectEntry(0);
    ASSERT_TRUE(page->GetUpgradeButton()->IsEnabled());

    // The dialog is modal: it is driven from a timer inside its own loop, as a user would.
    wxString log;
    int bar = -1;
    const auto drive = [&](wxTimer& driver) {
        CDeviceUpgradeDlg* dialog = TopLevel<CDeviceUpgradeDlg>();
        if (!dialog || !dialog->IsModal())
            return;
        if (dialog->GetFileField()->IsEmpty()) {
            dialog->ChooseFile();
            dialog->StartUpdate();
            EXPECT_FALSE(dialog->GetUpdateButton()->IsEnabled());
            dialog->Close();
            EXPECT_TRUE(dialog->IsModal()) << "a download is never cut off";
            EXPECT_TRUE(std::any_of(m_messages.Texts().begin(), m_messages.Texts().end(),
                                    [](const wxString& text) { return text.Contains("being written"); }))
                << "the click is answered";
        } else if (!dialog->IsRunning()) {
            log = dialog->GetLogBox()->GetValue();
            bar = dialog->GetBar()->GetValue();
            EXPECT_TRUE(dialog->GetUpdateButton()->IsEnabled());
            driver.Stop();
            dialog->EndModal(wxID_CANCEL);
        }
    };
    DriveWhile(100, drive, [page] { Press(page->GetUpgradeButton()); });

    EXPECT_TRUE(log.EndsWith("Upgrade finished.")) << log;
    EXPECT_NE(wxNOT_FOUND, log.Find("Kernel part\r\n\tsend update command and probing\r\n\tset param\r\n\tsend data\r\n"))
        << log;
    EXPECT_NE(wxNOT_FOUND, log.Find("Application part")) << log;
    EXPECT_EQ(1000, bar);
    EXPECT_FALSE(CHBDataStreamMnt::GetInstance().IsOpen()) << "closed after the upgrade";
    EXPECT_NE(wxNOT_FOUND, page->GetInfoBox()->GetValue().Find("V2.00.001")) << "shown without a refresh";
    page->RefreshDevices();
    page->SelectEntry(0);
    EXPECT_NE(wxNOT_FOUND, page->GetInfoBox()->GetValue().Find("Firmware: V2.00.001")) << page->GetInfoBox()->GetValue();
}

TEST_F(FirmwareUpgradeTest, SingleDialogKeepsItsFileWhenANonFirmwareFileIsChosen)
{
    CDeviceUpgradeDlg dialog(m_window, "HBS-HI880");
    const wxString good = Firmware("HBS-HI880", "V2");
    dialog.ChooseFile();
    ASSERT_EQ(good, dialog.GetFileField()->GetValue());
    m_dir.Write("notes.bin", "not firmware");
    SetFileChooser([this](const SFileQuestion&) { return m_dir.File("notes.bin"); });
    dialog.ChooseFile();
    EXPECT_EQ(good, dialog.GetFileField()->GetValue());
    EXPECT_EQ(std::vector<wxString>{GetUiText("ID_DEVICE_UPGRADE_ERROR_INVALID", "")}, m_messages.Texts());
}

TEST_F(FirmwareUpgradeTest, BatchOfEightScannersLocksFirstThenUpgradesAllButTheOneThatFails)
{
    const auto scanners = PlugPtys(
        8, [](int i) { return wxString::Format("FW%06d", i).ToStdString(); },
        [](int i, SSimFirmwareFaults& faults) { faults.failPacket = i == 5 ? 'E' : faults.failPacket; });
    auto* dialog = StartBatch(500, 2);
    ASSERT_TRUE(dialog->IsRunning());
    ASSERT_TRUE(RunUntil([&] { return dialog->GetRoundsFinished() >= 1; }, 90));
    ASSERT_EQ(8, dialog->GetList()->GetItemCount());
    for (long row = 0; row < 8; ++row) {
        EXPECT_EQ("Serial port not locked", dialog->GetResultText(row)) << row;
        EXPECT_TRUE(dialog->GetList()->GetItemText(row, 1).StartsWith("/dev/")) << "the port column: " << row;
    }
    for (const auto& scanner : scanners)
        EXPECT_EQ(0, scanner->Scanner().Firmware().PacketsHeard());

    m_dir.Write("ufcom.ini", "[Parameters]\nVcomBindMode=3\n");
    ASSERT_TRUE(RunUntil([&] { return dialog->GetRoundsFinished() >= 2; }, 120));
    dialog->Stop();
    ASSERT_TRUE(RunUntil([&] { return !dialog->IsBusy(); }, 60));
    EXPECT_TRUE(dialog->GetStartButton()->IsEnabled());

    ASSERT_EQ(8, dialog->GetList()->GetItemCount());
    int upgraded = 0;
    for (long row = 0; row < 8; ++row) {
        const bool failing = dialog->GetList()->GetItemText(row, 2) == "FW000005";
        EXPECT_EQ(failing ? "Failed" : "Upgraded", dialog->GetResultText(row)) << row;
        upgraded += dialog->GetResultText(row) == "Upgraded";
    }
    EXPECT_EQ(7, upgraded);
    EXPECT_TRUE(IsScannerDone(m_dir.Path(), "FW000000"));
    EXPECT_FALSE(IsScannerDone(m_dir.Path(), "FW000005"));
    CBatchLogXmlInfo log;
    ASSERT_TRUE(log.Load(DayLogPath(m_dir.Path(), wxDateTime::Now())));
    EXPECT_EQ(8u, log.GetRecords().size());
    dialog->Destroy();
}

TEST_F(FirmwareUpgradeTest, BatchClosedDuringADownloadOffersToCloseWhenTheScannerIsDone)
{
    const auto scanners = PlugPtys(1, [](int) { return "FW000001"; }, [](int, SSimFirmwareFaults&) {});
    const auto& scanner = scanners[0];
    auto* dialog = StartBatch(300, 3);
    ASSERT_TRUE(RunUntil([&] { return scanner->Scanner().Firmware().PacketsHeard() > 0; }, 90));

    m_messages.Answer(wxNO);
    dialog->Close();
    ASSERT_EQ(1u, m_messages.Texts().size()) << "the click is answered";
    EXPECT_TRUE(dialog->IsRunning());
    EXPECT_TRUE(dialog->IsShown());

    m_messages.Answer(wxYES);
    dialog->Close();
    EXPECT_FALSE(dialog->IsRunning()) << "no new round starts";
    EXPECT_TRUE(dialog->IsShown()) << "the download goes on";
    ASSERT_TRUE(RunUntil([&] { return !dialog->IsShown(); }, 90));
    EXPECT_FALSE(dialog->IsBusy());
    EXPECT_EQ(1, scanner->Scanner().Firmware().CompletedDownloads());
    dialog->Destroy();
}

TEST_F(FirmwareUpgradeTest, BatchShowsTodaysLogWithoutAskingForAFile)
{
    const wxString today = DayLogPath(m_dir.Path(), wxDateTime::Now());
    ASSERT_TRUE(wxFileName::Mkdir(wxFileName(today).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    m_dir.Write("batch_update_log/" + wxFileName(today).GetFullName(),
                "<Vostrel><log SN=\"A1\" Name=\"HBS-HI880\" OldVersion=\"1\" Version=\"2\" State=\"OK\" Time=\"t\"/></Vostrel>");
    bool asked = false;
    SetFileChooser([&asked](const SFileQuestion&) {
        asked = true;
        return wxString();
    });
    auto* batch = new CDeviceBatchUpgradeDlg(m_window, m_dir.Path());
    int rows = -1;
    const auto readLog = [&rows](wxTimer& driver) {
        auto* log = TopLevel<CDialog_Log>();
        if (log && log->IsModal()) {
            rows = log->GetList()->GetItemCount();
            driver.Stop();
            log->EndModal(wxID_CANCEL);
        }
    };
    DriveWhile(50, readLog, [batch] { batch->ShowLog(); });
    EXPECT_FALSE(asked);
    EXPECT_EQ(1, rows);
    batch->Destroy();
}

TEST_F(FirmwareUpgradeTest, BatchTellsScannersWithoutSerialNumberApartAndKeepsItsFileWhileDownloadsRun)
{
    // The second loses the end of its download: upgraded all the same, and not again in the next round.
    const auto scanners =
        PlugPtys(2, [](int) { return ""; }, [](int i, SSimFirmwareFaults& faults) { faults.loseEnd = i == 1; });
    wxString file;
    auto* dialog = StartBatch(300, 3, &file);
    ASSERT_TRUE(RunUntil([&] { return dialog->GetRoundsFinished() >= 1; }, 90));
    ASSERT_EQ(2, dialog->GetList()->GetItemCount());
    for (long row = 0; row < 2; ++row) {
        EXPECT_EQ("Upgraded", dialog->GetResultText(row)) << row;
        EXPECT_EQ("V2.00.001", dialog->GetList()->GetItemText(row, 4)) << row;
    }
    ASSERT_TRUE(RunUntil([&] { return dialog->GetRoundsFinished() >= 2; }, 90));
    for (long row = 0; row < 2; ++row)
        EXPECT_EQ("Done", dialog->GetResultText(row)) << row;
    for (const auto& scanner : scanners)
        EXPECT_EQ(1, scanner->Scanner().Firmware().CompletedDownloads());
    dialog->Stop();
    ASSERT_TRUE(RunUntil([&] { return !dialog->IsBusy(); }, 60));

    // A new start does every scanner again; stopped half-way, its downloads go on
    // with the file they were given, and no other can be chosen until they end.
    const int heard = scanners[0]->Scanner().Firmware().PacketsHeard();
    dialog->Start();
    ASSERT_TRUE(RunUntil([&] { return scanners[0]->Scanner().Firmware().PacketsHeard() > heard; }, 90));
    dialog->Stop();
    EXPECT_TRUE(dialog->IsBusy());
    EXPECT_FALSE(dialog->GetChooseButton()->IsEnabled());
    const wxString other = m_dir.File("other.bin");
    ASSERT_TRUE(wxCopyFile(file, other));
    SetFileChooser([other](const SFileQuestion&) { return other; });
    dialog->ChooseFile();
    EXPECT_EQ(file, dialog->GetFileField()->GetValue());
    ASSERT_TRUE(RunUntil([&] { return !dialog->IsBusy(); }, 60));
    EXPECT_TRUE(dialog->GetChooseButton()->IsEnabled());
    for (const auto& scanner : scanners)
        EXPECT_EQ(2, scanner->Scanner().Firmware().CompletedDownloads());
    dialog->ChooseFile();
    EXPECT_EQ(other, dialog->GetFileField()->GetValue());

    // A path typed into the field is taken at Enter like a chosen one; one that is not
    // a firmware or configuration file is refused, and the field shows the file in use.
    const struct {
        wxString typed;
        wxString inUse;
        size_t messages;
    } typedPaths[] = {{m_dir.File("missing.bin"), other, 1}, {"  " + file + " ", file, 1}, {"", file, 1}};
    for (const auto& path : typedPaths) {
        dialog->GetFileField()->ChangeValue(path.typed);
        PressEnter(*dialog->GetFileField());
        EXPECT_EQ(path.inUse, dialog->GetFileField()->GetValue()) << path.typed;
        EXPECT_EQ(path.messages, m_messages.Texts().size()) << path.typed;
    }
    dialog->Destroy();
}

TEST_F(FirmwareUpgradeTest, BatchWithAConfigurationFileSendsItsSettingsToEveryScanner)
{
    std::vector<std::unique_ptr<CPtyScanner>> scanners;
    for (const char* serial : {"CF000001", "CF000002"})
        scanners.push_back(PlugPty(serial, SSimFirmwareFaults()));
    m_dir.Write("Time.ini", "[Time]\ndelay=0\ndelayEnd=60000\n");
    m_dir.Write("settings.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Vostrel DeviceType=\"HBS-HI880\">\n"
                                " <Command CommandName=\"128MAX\" Value=\"40\"/>\n</Vostrel>\n");
    SetFileChooser([this](const SFileQuestion&) { return m_dir.File("settings.xml"); });
    auto* dialog = new CDeviceBatchUpgradeDlg(m_window, m_dir.Path());
    dialog->ChooseFile();
    dialog->Start();
    ASSERT_TRUE(RunUntil([&] { return dialog->GetRoundsFinished() >= 1; }, 60));
    dialog->Stop();
    ASSERT_TRUE(RunUntil([&] { return !dialog->IsBusy(); }, 30));
    ASSERT_EQ(2, dialog->GetList()->GetItemCount());
    for (long row = 0; row < 2; ++row)
        EXPECT_EQ("Upgraded", dialog->GetResultText(row)) << row;
    for (const auto& scanner : scanners) {
        EXPECT_EQ("40", scanner->Scanner().CurrentValue("128MAX"));
        EXPECT_EQ(0, scanner->Scanner().Firmware().PacketsHeard());
    }
    dialog->Destroy();
}

}  // namespace
