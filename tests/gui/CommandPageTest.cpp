// The command page and the panels of the terminal and of stored batch data.
#include "app/AppContext.h"
#include "batchdata/gui/BatchDataDlg.h"
#include "cmdcenter/gui/CmdDlg.h"
#include "cmdcenter/gui/CommandCenterDlg.h"
#include "cmdcenter/ScriptedTerminalLink.h"
#include "device/HBDataStreamMnt.h"
#include "shell/StallWatch.h"
#include "simulator/InProcessScanner.h"
#include "simulator/SimulatorAttach.h"
#include "support/LinkFixture.h"

#include "GuiTestSupport.h"

#include <wx/app.h>

namespace {

class CommandPageTest : public ::testing::Test {
protected:
    void SetUp() override { CAppContext::GetInstance().SetProgramDirectory(m_dir.Path()); }
    void TearDown() override
    {
        m_frame->Destroy();
        wxTheApp->Yield();
        DetachAllSimulatedScanners();
        CHBDataStreamMnt::ResetInstance();
        CAppContext::ResetInstance();
    }

    CTempDir m_dir;
    CMessageRecorder m_messages;
    wxFrame* m_frame = new wxFrame(nullptr, wxID_ANY, "command page", wxDefaultPosition, wxSize(1000, 700));
};

TEST_F(CommandPageTest, ASimulatedScannerOpenedOnThePageAnswersATypedCommand)
{
    m_dir.Write("server.cfg", "[cfg]\nupgrade=1\n");
    std::string error;
    ASSERT_NE(0u, AttachSimulatedScanner(VOSTREL_DATA_DIR "/Config/HI880.xml", "HBS-HI880", &error, 115200)) << error;
    auto* page = new CCmdDlg(m_frame);
    EXPECT_TRUE(page->GetUpgradeButton()->IsShown());
    EXPECT_FALSE(page->GetUpgradeButton()->IsEnabled()) << "no scanner open yet";
    EXPECT_FALSE(page->GetBatchUpgradeButton()->IsShown());

    ASSERT_TRUE(page->SelectPort("sim:HBS-HI880"));
    EXPECT_TRUE(page->GetOpenButton()->IsEnabled());
    ASSERT_TRUE(page->OpenPort());
    ASSERT_TRUE(RunUntil([page] { return !page->IsWaitingForLine(); }, 5));
    EXPECT_FALSE(page->GetOpenButton()->IsEnabled()) << "the port is open already";
    CCommandCenterDlg* terminal = page->GetTerminal();
    terminal->GetInput()->SetValue("@QRYSYS");
    terminal->SendInput();
    EXPECT_TRUE(terminal->GetInput()->GetValue().empty());
    ASSERT_TRUE(RunUntil([terminal] { return terminal->GetTranscript().Count() >= 2; }, 2));
    EXPECT_EQ("Request: @QRYSYS\r\n", terminal->GetTranscript().Lines()[0]);
    EXPECT_TRUE(terminal->GetTranscript().Lines()[1].StartsWith("Response: QRYSYSHardware: V1.0<CR><LF>Firmware: V1.00.001"))
        << terminal->GetTranscript().Lines()[1];
    EXPECT_TRUE(terminal->GetPane()->GetValue().Contains("Request: @QRYSYS\n"));

    page->ClosePort();
    ASSERT_TRUE(RunUntil([page] { return !page->IsWaitingForLine(); }, 5));
    EXPECT_FALSE(CHBDataStreamMnt::GetInstance().IsOpen());
    EXPECT_TRUE(page->GetOpenButton()->IsEnabled());
}

// The scanner listens at 9600 baud, the page opens at its first choice, 115200: what
// comes back is noise, and the terminal says that nothing answered.
TEST_F(CommandPageTest, AtAWrongBaudRateTheTerminalSaysThatNothingAnswered)
{
    std::string error;
    ASSERT_NE(0u, AttachSimulatedScanner(VOSTREL_DATA_DIR "/Config/HI880.xml", "HBS-HI880", &error, 9600)) << error;
    auto* page = new CCmdDlg(m_frame);
    ASSERT_TRUE(page->SelectPort("sim:HBS-HI880"));
    ASSERT_TRUE(page->OpenPort());
    ASSERT_TRUE(RunUntil([page] { return !page->IsWaitingForLine(); }, 5));
    CCommandCenterDlg* terminal = page->GetTerminal();
    terminal->GetInput()->SetValue("@QRYSYS");
    terminal->SendInput();
    ASSERT_TRUE(RunUntil([terminal] { return terminal->GetTranscript().Count() >= 3; }, 15));
    EXPECT_EQ("Response: \r\n", terminal->GetTranscript().Lines()[1]);
    const wxString notice = terminal->GetTranscript().Lines()[2];
    EXPECT_TRUE(notice.StartsWith("(") && notice.EndsWith(")\r\n") && notice.length() > 10) << notice;
    page->ClosePort();
}

TEST_F(CommandPageTest, HexSendWithAWrongDigitSaysWhichAndSendsNothing)
{
    auto link = std::make_unique<CScriptedTerminalLink>();
    CScriptedTerminalLink& scripted = *link;
    auto* terminal = new CCommandCenterDlg(m_frame, std::move(link));
    terminal->RefreshLinkState();
    auto* hexSend = dynamic_cast<wxCheckBox*>(terminal->FindWindow(CCommandCenterDlg::ID_HEX_SEND));
    ASSERT_NE(nullptr, hexSend);
    hexSend->SetValue(true);
    terminal->Session().Options().hexSend = true;
    terminal->GetInput()->SetValue("41 4G");
    terminal->SendInput();
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[0].EndsWith(" G")) << m_messages.Texts()[0];
    EXPECT_EQ("41 4G", terminal->GetInput()->GetValue()) << "the typed text stays for correcting";
    EXPECT_EQ(0u, terminal->Session().QueuedCount());
    EXPECT_TRUE(scripted.Written().empty());
}

TEST_F(CommandPageTest, ALineTooLongForTheLineTerminalEndsItUnsent)
{
    auto link = std::make_unique<CScriptedTerminalLink>();
    CScriptedTerminalLink& scripted = *link;
    scripted.AddReply("\x02\x01" "0000@CLIENA1\x06;\x03");
    auto* terminal = new CCommandCenterDlg(m_frame, std::move(link));
    terminal->RefreshLinkState();
    terminal->GetInput()->SetValue("CLIENA1");
    terminal->SendInput();
    ASSERT_TRUE(RunUntil([terminal] { return terminal->IsInLineTerminal(); }, 2));
    EXPECT_TRUE(terminal->GetPane()->IsEditable());

    terminal->GetPane()->AppendText(wxString('x', 65));
    terminal->FinishTerminalLine();
    EXPECT_FALSE(terminal->IsInLineTerminal());
    EXPECT_FALSE(terminal->GetPane()->IsEditable());
    EXPECT_EQ(0u, terminal->Session().QueuedCount());
    terminal->Session().Stop();  // the worker has ended: anything it was to write is written
    EXPECT_EQ(1u, scripted.Written().size()) << "only CLIENA1 went out";
}

TEST_F(CommandPageTest, AFetchSaysHowManyEntriesCameAndAppendsThemToBatchTxt)
{
    auto link = std::make_unique<CScriptedTerminalLink>();
    link->AddReply("\x02\x01" "0000@WLSBAT2\x06;\x03");
    link->AddReply("\x02\x01" "0000@WLSSBT\x06;\x03");
    link->AddReply("A\r\nB\r\n");
    auto* panel = new CBatchDataDlg(m_frame, std::move(link), 0);
    panel->SetOutputPath(m_dir.File("batch.txt"));
    ASSERT_TRUE(panel->FetchBatchData());
    EXPECT_FALSE(panel->FetchBatchData()) << "one fetch at a time";
    ASSERT_TRUE(RunUntil([panel] { return !panel->IsFetching(); }, 10));
    EXPECT_TRUE(m_messages.Texts().empty()) << "told on the panel, not in a box";
    EXPECT_TRUE(panel->GetStatusText().Contains(" 2 ") && panel->GetStatusText().Contains("batch.txt"))
        << panel->GetStatusText();
    EXPECT_EQ("A\nB", panel->GetDataBox()->GetValue());
    EXPECT_EQ("A\r\nB", m_dir.Read("batch.txt"));
}

// Stored data fetched from a scanner that keeps reading: the windows answer
// throughout, and the file gets the stored codes only, each with its line end.
class StoredDataTest : public CommandPageTest {
protected:
    // A simulated HI880 at 115200 baud that reads a code every 300 ms, packed or plain.
    void Plug(ESimPacking packing, int storedCodes)
    {
        std::string error;
        SSimScannerProfile profile;
        profile.baudRate = 115200;
        auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_DATA_DIR "/Config/HI880.xml", profile, error);
        ASSERT_TRUE(scanner) << error;
        for (int i = 0; i < storedCodes; ++i)
            scanner->BatchStore().Add(wxString::Format("STORED%03d", i).ToStdString());
        scanner->ScanEmitter().SetReads({{4, "6901234567892"}});
        scanner->ScanEmitter().SetPacking(packing);
        scanner->ScanEmitter().SetPeriod(300, true);
        m_sim = std::make_unique<CInProcessScanner>(std::move(scanner));
        ASSERT_NE(nullptr, OpenTestDevice(m_sim->Start(), 115200, 2000));
        m_panel = new CBatchDataDlg(m_frame);
        m_panel->SetOutputPath(m_dir.File("batch.txt"));
    }
    void TearDown() override
    {
        CommandPageTest::TearDown();
        m_sim.reset();
    }

    std::unique_ptr<CInProcessScanner> m_sim;
    CBatchDataDlg* m_panel = nullptr;
};

TEST_F(StoredDataTest, TheWindowsAnswerWhileTheScannerReadsAndOnlyStoredCodesReachTheFile)
{
    Plug(ESimPacking::CODE_ID, 120);
    CStallWatch watch;
    ASSERT_TRUE(m_panel->FetchBatchData());
    ASSERT_TRUE(RunUntil([this] { return !m_panel->IsFetching(); }, 60));
    wxString expected;
    for (int i = 0; i < 120; ++i)
        expected += (i == 0 ? "" : "\r\n") + wxString::Format("STORED%03d", i);
    EXPECT_EQ(expected, m_dir.Read("batch.txt"));
    EXPECT_LT(watch.LongestMs(), 250) << watch.LongestWhat();
}

// Plain reads look like stored data, so the data never ends by itself: the panel says
// so, and Stop ends the fetch, keeping what came.
TEST_F(StoredDataTest, AScannerThatKeepsSendingIsStoppedAndWhatCameIsKept)
{
    Plug(ESimPacking::PLAIN, 0);
    CStallWatch watch;
    ASSERT_TRUE(m_panel->FetchBatchData());
    ASSERT_TRUE(RunUntil([this] { return m_panel->GetEntriesSoFar() >= 3; }, 30)) << m_panel->GetStatusText();
    Press(m_panel->GetFetchButton());  // the button is Stop meanwhile
    ASSERT_TRUE(RunUntil([this] { return !m_panel->IsFetching(); }, 5));
    EXPECT_TRUE(m_panel->GetStatusText().StartsWith(GetUiText("ID_DATA_STOPPED", "已停止。"))) << m_panel->GetStatusText();
    EXPECT_TRUE(m_dir.Read("batch.txt").find("6901234567892\r\n6901234567892") != std::string::npos);
    EXPECT_LT(watch.LongestMs(), 250) << watch.LongestWhat();
}

}  // namespace
