// The configuration history beside a page: rows, undo, leaving, and showing a setting.
#include "config/gui/ConfigPageEvents.h"
#include "config/gui/UndoDlg.h"
#include "config/gui/UndoListBox.h"
#include "config/SaveCfg.h"
#include "pages/CfgTitleDlg.h"
#include "shell/StallWatch.h"
#include "UI/gui/WaitDlg.h"

#include "GuiTestSupport.h"
#include "support/RecordingControlFactory.h"

#include <wx/app.h>

#include <string>

namespace {

const char kHistoryModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>BEPLVL</CommandName><SettingsList>0:Off|1:Low|2:High</SettingsList><Default>2</Default></Command>
 <Command><CommandName>SCNMOD</CommandName><SettingsList>0:Level|2:Sense</SettingsList><Default>0</Default></Command>
 <Command><CommandName>BARCOD</CommandName><SettingsList></SettingsList><Default></Default></Command>
</DeviceConfiguration>)";

const char kHistoryPages[] = R"(<Pages>
 <Page><Value>Beeper</Value><GroupName><Value>Beeper</Value>
  <Command><CommandName>BEPLVL</CommandName><FriendlyText>Beeper volume</FriendlyText><ControlType>COMBOBOX</ControlType></Command>
  <Command><CommandName>SCNMOD</CommandName><FriendlyText>Scan mode</FriendlyText><ControlType>COMBOBOX</ControlType></Command>
 </GroupName></Page>
 <Page><Value>Settings Code</Value><GroupName><Value>Settings Code</Value>
  <Command><CommandName>BARCOD</CommandName><ControlType>CREATEBARCODE</ControlType></Command>
 </GroupName></Page>
</Pages>)";

void SendMouse(wxWindow* window, wxEventType type, const wxPoint& at)
{
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

void Choose(wxChoice* choice, int index)
{
    choice->SetSelection(index);
    Send(choice, wxEVT_CHOICE);
}

// The view beside a page whose controls are recorded, not drawn.
class HistoryViewTest : public PageFixture {
protected:
    void SetUp() override
    {
        LoadFiles(kHistoryModel, kHistoryPages);
        SetControlFactory(&m_factory);
        Volume().CreateControl(nullptr, nullptr, SControlRect());
        m_frame->Bind(EVT_VOSTREL_SHOW_SETTING, [this](wxCommandEvent& event) {
            m_shown.push_back(static_cast<CCmdNameXmlInfo*>(event.GetClientData()));
        });
        OpenView();
        m_frame->Show();
    }

    void OpenView()
    {
        m_view = new CUndoDlg(m_page);
        m_view->SetSize(480, 640);
        m_view->Layout();
    }
    void CloseView()
    {
        m_view->Destroy();
        m_view = nullptr;
    }


    void ClickRow(int row, wxEventType type = wxEVT_LEFT_DOWN)
    {
        CUndoListBox* list = m_view->GetListBox();
        SendMouse(list, type, list->GetItemRect(static_cast<size_t>(row)).GetPosition() + wxPoint(10, 5));
    }

    static CCmdNameXmlInfo& Volume() { return Setting("BEPLVL"); }
    static CCmdNameXmlInfo& Mode() { return Setting("SCNMOD"); }

    CRecordingFactory m_factory;
    CUndoDlg* m_view = nullptr;
    std::vector<CCmdNameXmlInfo*> m_shown;
};

TEST_F(HistoryViewTest, RowsFollowThePendingChangesAndTheButtonFollowsTheSelectedEntry)
{
    CUndoListBox* list = m_view->GetListBox();
    EXPECT_EQ(0u, list->GetItemCount());

    const wxString low("Low");
    Volume().SetValue("1", &low);
    Mode().SetValue("2");
    ASSERT_EQ(2u, list->GetItemCount());
    EXPECT_EQ("Beeper volume", list->GetCaptionText(0));
    EXPECT_EQ("Low", list->GetValueText(0));
    EXPECT_EQ("Scan mode", list->GetCaptionText(1));
    EXPECT_EQ("2", list->GetValueText(1));
    Mode().ValueText.clear();  // a value without display text shows the value itself
    EXPECT_EQ("2", list->GetValueText(1));
    EXPECT_FALSE(list->GetUndoButton()->IsShown());

    ClickRow(1);
    EXPECT_EQ(&Mode(), list->GetSelectedEntry());
    EXPECT_TRUE(list->GetUndoButton()->IsShown());

    // A long caption gets the row's width; only the selected row makes room for the
    // button, and the row under the mouse tells caption and value in full.
    Volume().FriendlyText = "Pause between the characters of the keyboard output";
    list->RefreshAll();
    EXPECT_GE(list->GetCaptionBox(0).GetWidth(), list->GetTextExtent(Volume().FriendlyText).GetWidth());
    EXPECT_EQ(list->GetCaptionBox(0).GetRight(), list->GetValueBox(0).GetRight());
    EXPECT_LT(list->GetValueBox(1).GetRight(), list->GetUndoButton()->GetPosition().x);
    EXPECT_GE(list->GetValueBox(1).GetRight(), list->GetUndoButton()->GetPosition().x - 20);
    const wxRect firstRow = list->GetItemRect(0);
    SendMouse(list, wxEVT_MOTION, firstRow.GetPosition() + wxPoint(10, firstRow.GetHeight() / 2));
    EXPECT_EQ(Volume().FriendlyText + "\nLow", list->GetToolTipText());

    Volume().SetValue("2");  // back to the device value: the row above goes
    ASSERT_EQ(1u, list->GetItemCount());
    EXPECT_EQ(&Mode(), list->GetSelectedEntry());
    EXPECT_TRUE(list->GetUndoButton()->IsShown());

    Mode().SetValue("0");
    EXPECT_EQ(0u, list->GetItemCount());
    EXPECT_EQ(nullptr, list->GetSelectedEntry());
    EXPECT_FALSE(list->GetUndoButton()->IsShown());
}

// With each change sent at once the scanner holds it, so undo takes a change off the
// list only once the scanner has its old value back: refused, the change stays listed
// and the user is told. The windows answer while the scanner is asked.
TEST_F(HistoryViewTest, UndoOfAChangeSentAtOnceWaitsForTheScannerToTakeItsValueBack)
{
    CPendingChangeList::GetInstance().SetSendAtOnce(1);
    ConnectScanner({ReplyFrame("BEPLVL0\x06"), ReplyFrame("BEPLVL2\x15"), ReplyFrame("BEPLVL2\x06")}, true);
    CStallWatch watch;
    Volume().SetValue("0");
    ASSERT_TRUE(RunUntil([this] { return m_scanner->Requests().size() == 1; }, 5));
    const struct {
        size_t requests;
        bool listed;
        const char* value;
        size_t messages;
    } steps[] = {{2, true, "0", 1}, {3, false, "2", 1}};
    for (const auto& step : steps) {
        ClickRow(0);
        Press(m_view->GetListBox()->GetUndoButton());
        EXPECT_TRUE(IsPending("BEPLVL")) << "listed until the scanner has answered";
        EXPECT_TRUE(m_view->GetCursor().IsOk()) << "the pointer says the scanner is being asked";
        // Refused, the user is told; taken back, the change goes.
        ASSERT_TRUE(RunUntil([&] { return step.listed ? m_messages.Texts().size() == step.messages : !IsPending("BEPLVL"); },
                             5));
        EXPECT_FALSE(m_view->GetCursor().IsOk());
        EXPECT_EQ(step.requests, m_scanner->Requests().size());
        EXPECT_EQ(step.listed, IsPending("BEPLVL")) << step.requests;
        EXPECT_EQ(step.value, Volume().Value) << step.requests;
        ASSERT_EQ(step.messages, m_messages.Texts().size());
    }
    EXPECT_TRUE(m_messages.Texts()[0].Contains("BEPLVL")) << m_messages.Texts()[0];
    EXPECT_LT(watch.LongestMs(), 250) << watch.LongestWhat();
    CPendingChangeList::GetInstance().SetSendAtOnce(0);
}

// Stop in the wait window while the scanner is silent: the exchange under way ends,
// its resend and the task's later sends never reach the scanner, and the run counts
// as failed.
TEST_F(HistoryViewTest, StopInTheWaitWindowEndsTheTaskAndNothingMoreIsSent)
{
    ConnectScanner({"", ""}, false);
    bool pressed = false;
    const auto stop = [&](wxTimer&) {
        auto* dialog = TopLevel<CWaitDlg>();
        if (dialog && !pressed && m_scanner->Requests().size() == 1) {
            Press(dialog->GetStopButton());
            pressed = true;
        }
    };
    int attempts = 0;
    CWaitDlg dialog(nullptr, [&attempts] {
        wxString value;
        for (const char* volume : {"0", "1", "2"}) {
            CSaveCfg::SendSetting("BEPLVL", volume, value);
            ++attempts;
        }
        return true;
    });
    DriveWhile(20, stop, [&] { EXPECT_FALSE(dialog.RunModal()); });
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(dialog.WasStopped());
    EXPECT_EQ(3, attempts);
    EXPECT_EQ(1u, m_scanner->Requests().size());
    EXPECT_FALSE(dialog.GetStopButton()->IsEnabled());
}

TEST_F(HistoryViewTest, UndoRestoresTheDeviceValueOnThePageAndInTheScanner)
{
    std::vector<CCmdNameXmlInfo*> notified;
    m_view->SetUndoNotification([&notified](CCmdNameXmlInfo* definition) { notified.push_back(definition); });
    Volume().SetValue("0");
    Mode().SetValue("2");
    ConnectScanner({ReplyFrame("BEPLVL2\x06")}, false);

    ClickRow(0);
    Press(m_view->GetListBox()->GetUndoButton());
    ASSERT_TRUE(RunUntil([this] { return !m_scanner->Requests().empty(); }, 5));

    EXPECT_EQ("2", Volume().Value);
    EXPECT_EQ("2", Volume().DeviceValue);
    EXPECT_EQ(std::vector<int>{0}, m_factory.refreshModes);
    EXPECT_EQ(std::vector<CCmdNameXmlInfo*>{&Volume()}, notified);
    EXPECT_EQ(std::vector<std::string>{std::string("~\x01" "0000#BEPLVL2;\x03")}, m_scanner->Requests());
    ASSERT_EQ(1u, m_view->GetListBox()->GetItemCount());
    EXPECT_EQ("Scan mode", m_view->GetListBox()->GetCaptionText(0));
    EXPECT_FALSE(m_view->GetListBox()->GetUndoButton()->IsShown());
    EXPECT_EQ("2", Mode().Value);
}

TEST_F(HistoryViewTest, LeavingAsksOnlyOnlineWithPendingChangesAndFollowsTheAnswer)
{
    EXPECT_FALSE(m_view->CheckBeforeLeave(true));
    Volume().SetValue("0");
    Mode().SetValue("2");
    EXPECT_FALSE(m_view->CheckBeforeLeave(false));
    EXPECT_TRUE(m_messages.Texts().empty());

    ConnectScanner({"", ReplyFrame("BEPLVL2\x06"), ReplyFrame("SCNMOD0\x06")}, false);
    m_messages.Answer(wxCANCEL);
    EXPECT_TRUE(m_view->CheckBeforeLeave(true));
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("设备参数改变，需要保存到设备吗？")}, m_messages.Texts());
    EXPECT_EQ(wxYES_NO | wxCANCEL, m_messages.Styles()[0] & (wxYES_NO | wxCANCEL));
    EXPECT_EQ("0", Volume().Value);
    EXPECT_TRUE(m_scanner->Requests().empty());

    m_messages.Answer(wxYES);  // writes the changes; this scanner stays silent
    int waitDialogs = 0;
    CountLineWork(waitDialogs);
    EXPECT_TRUE(m_view->CheckBeforeLeave(true)) << "a failed write keeps the user and the changes";
    CWaitDlg::SetWorkRunner(nullptr);
    EXPECT_EQ(1, waitDialogs) << "the write runs under the wait dialog";
    ASSERT_EQ(3u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Styles()[2] & wxICON_ERROR);
    EXPECT_EQ(std::vector<std::string>{std::string("~\x01" "0000@BEPLVL0;SCNMOD2;\x03")}, m_scanner->Requests());
    EXPECT_EQ("0", Volume().Value);

    m_messages.Answer(wxNO);
    EXPECT_FALSE(m_view->CheckBeforeLeave(true));
    ASSERT_TRUE(RunUntil([this] { return m_scanner->Requests().size() == 3; }, 5));
    EXPECT_EQ("2", Volume().Value);
    EXPECT_EQ("0", Mode().Value);
    const std::vector<std::string> requests = m_scanner->Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(std::string("~\x01" "0000#BEPLVL2;\x03"), requests[1]);
    EXPECT_EQ(std::string("~\x01" "0000#SCNMOD0;\x03"), requests[2]);
    EXPECT_EQ(2u, CPendingChangeList::GetInstance().GetEntries().size());  // undo all keeps the entries
    EXPECT_EQ(4u, m_messages.Texts().size());
}

TEST_F(HistoryViewTest, ADoubleClickOrGenerateBarCodeAsksThePageToShowASetting)
{
    Volume().SetValue("0");
    Mode().SetValue("2");
    ClickRow(1);
    ClickRow(1, wxEVT_LEFT_DCLICK);
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(std::vector<CCmdNameXmlInfo*>{&Mode()}, m_shown);

    Choose(m_view->GetOutputChooser(), SQuickConfig::OUTPUT_PRINT);
    Choose(m_view->GetFamilyChooser(), SQuickConfig::FAMILY_DM);
    EXPECT_FALSE(m_view->GetQuickConfig().buildFromHistory);
    Press(m_view->GetGenerateButton());
    wxTheApp->ProcessPendingEvents();
    ASSERT_EQ(2u, m_shown.size());
    EXPECT_EQ(&Setting("BARCOD"), m_shown[1]);
    const SQuickConfig& asked = m_view->GetQuickConfig();
    EXPECT_TRUE(asked.buildFromHistory);
    EXPECT_EQ(SQuickConfig::SETTINGS_CHANGED, asked.settings);
    EXPECT_EQ(3, asked.GetBarcodeType());
    EXPECT_TRUE(asked.IsPrintAtOnce());
}

TEST_F(HistoryViewTest, TheSendAtOnceModeOutlivesTheView)
{
    EXPECT_EQ(0, m_view->GetModeChooser()->GetSelection());
    Choose(m_view->GetModeChooser(), 1);
    EXPECT_EQ(1, CPendingChangeList::GetInstance().GetSendAtOnce());
    EXPECT_EQ(wxString::FromUTF8("配置修改写入设备内存。"), m_view->GetModeChooser()->GetToolTipText());

    CloseView();
    Volume().SetValue("0");  // no view to repaint any more
    OpenView();
    EXPECT_EQ(1, m_view->GetModeChooser()->GetSelection());
    EXPECT_EQ(1u, m_view->GetListBox()->GetItemCount());
}

}  // namespace
