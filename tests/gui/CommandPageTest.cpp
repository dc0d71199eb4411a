// The command page and the panels of the terminal and of stored batch data.
#include "AppContext.h"
#include "BatchDataDlg.h"
#include "CmdDlg.h"
#include "CommandCenterDlg.h"
#include "HBDataStreamMnt.h"
#include "ScriptedTerminalLink.h"
#include "SimulatorAttach.h"

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
    wxMilliSleep(100);
    EXPECT_EQ(1u, scripted.Written().size()) << "only CLIENA1 went out";
}

TEST_F(CommandPageTest, AFetchShowsTheEntryCountAndAppendsToBatchTxt)
{
    auto link = std::make_unique<CScriptedTerminalLink>();
    link->AddReply("\x02\x01" "0000@WLSBAT2\x06;\x03");
    link->AddReply("\x02\x01" "0000@WLSSBT\x06;\x03");
    link->AddReply("A\r\nB\r\n");
    auto* panel = new CBatchDataDlg(m_frame, std::move(link), 0);
    panel->SetOutputPath(m_dir.File("batch.txt"));
    ASSERT_TRUE(panel->FetchBatchData());
    EXPECT_EQ(std::vector<wxString>{"ilen= 3"}, m_messages.Texts());
    EXPECT_EQ("A\nB", panel->GetDataBox()->GetValue());
    EXPECT_EQ("A\r\nB", m_dir.Read("batch.txt"));
}

}  // namespace
