// The list controls on a page, offline and with a button group run on the scanner.
#include "pages/CfgTitleDlg.h"
#include "pages/PageDlg.h"
#include "regCtrl/object/ComboBoxCustomControl.h"
#include "regCtrl/object/GroupButtonControl.h"
#include "regCtrl/object/GroupRadioControl.h"
#include "UI/gui/WaitDlg.h"

#include "GuiTestSupport.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/tglbtn.h>

#include <algorithm>

namespace {

const char kListModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>BEPLVL</CommandName><Default>2</Default><SettingsList>0|1|2</SettingsList></Command>
 <Command><CommandName>SCNMOD</CommandName><Default>0</Default><SettingsList>0|2</SettingsList></Command>
 <Command><CommandName>KBWDLY</CommandName><Default>5</Default><SettingsList>None:0|Short:5|Long:40</SettingsList></Command>
 <Command><CommandName>BEPTON</CommandName><Default>1</Default><SettingsList>1|2|3</SettingsList></Command>
 <Command><CommandName>MODPRE</CommandName><Default>0</Default><SettingsList>0|1</SettingsList></Command>
 <Command><CommandName>232AFL</CommandName><Default>0</Default><Minimum>4</Minimum><Maximum>9</Maximum></Command>
 <Command><CommandName>RTCDAT</CommandName></Command>
</DeviceConfiguration>)";

const char kListPages[] = R"(<Pages>
 <Page><Value>Lists</Value>
  <GroupName><Value>Lists</Value>
   <Command><CommandName>BEPLVL</CommandName><FriendlyText>Volume</FriendlyText><ControlType>COMBOBOX</ControlType>
    <SettingsList>0:Off|1:Low|2:High</SettingsList><UnSupportSettingsList>0</UnSupportSettingsList></Command>
   <Command><CommandName>SCNMOD</CommandName><FriendlyText>Scan mode</FriendlyText><ControlType>EDITCOMBOBOX</ControlType>
    <SettingsList>0:Level|1:Trigger|2:Sense</SettingsList></Command>
   <Command><CommandName>KBWDLY</CommandName><FriendlyText>Key delay</FriendlyText><ControlType>COMBOBOXCUSTOM</ControlType></Command>
   <Command><CommandName>BEPTON</CommandName><FriendlyText>Tone</FriendlyText><ControlType>RADIOGROUP</ControlType>
    <SettingsList>1:Low|2:Middle|3:High</SettingsList></Command>
   <Command><CommandName>MODPRE</CommandName><FriendlyText>Preset</FriendlyText><ControlType>BUTTONGROUP</ControlType>
    <SettingsList>0:Hand-held|1:Presentation</SettingsList></Command>
   <Command><CommandName>232AFL</CommandName><FriendlyText>Handshake</FriendlyText><ControlType>RADIO</ControlType>
    <SettingsList>0:Off|1:On</SettingsList></Command>
   <Command><CommandName>RTCDAT</CommandName><FriendlyText>Date</FriendlyText><ControlType>DATATIME</ControlType></Command>
  </GroupName>
 </Page>
</Pages>)";

// One notch of the wheel towards the user; true when some handler took it.
bool TurnWheel(wxWindow& window)
{
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.SetEventObject(&window);
    event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    event.m_wheelRotation = -120;
    event.m_wheelDelta = 120;
    event.m_linesPerAction = 3;
    return window.GetEventHandler()->ProcessEvent(event);
}

const wxString kCustom = wxString::FromUTF8("自定义");

class ListControlsTest : public PageFixture {
protected:
    void SetUp() override { LoadFiles(kListModel, kListPages); }
    static void PressPreset(size_t index)
    {
        Press(dynamic_cast<CGroupButtonControl&>(*Setting("MODPRE").Control).GetButtons().at(index));
    }
};

TEST_F(ListControlsTest, EachListControlCommitsTheValueAndLabelItsWidgetShows)
{
    BuildPage("Lists");

    Pick(WidgetOf<wxChoice>("BEPLVL"), "Low");
    EXPECT_EQ("1", Setting("BEPLVL").Value);
    EXPECT_EQ("Low", Setting("BEPLVL").ValueText);

    auto* mode = WidgetOf<wxChoice>("SCNMOD");
    EXPECT_EQ((std::vector<wxString>{"Level", "Trigger", "Sense"}), EntriesOf(mode));  // unfiltered
    Pick(mode, "Trigger");
    EXPECT_EQ("1", Setting("SCNMOD").Value);

    auto& delayRow = dynamic_cast<CComboBoxCustomControl&>(*Setting("KBWDLY").Control);
    auto* delay = WidgetOf<wxChoice>("KBWDLY");
    wxTextCtrl* number = delayRow.GetCustomEdit();
    ASSERT_TRUE(delay && number);
    EXPECT_EQ((std::vector<wxString>{"None", "Short", "Long", kCustom}), EntriesOf(delay));
    EXPECT_EQ("Short", delay->GetStringSelection());
    EXPECT_FALSE(number->IsEnabled());
    EXPECT_GE(number->GetPosition().y, delay->GetRect().GetBottom());
    Pick(delay, "Long");
    EXPECT_EQ("40", Setting("KBWDLY").Value);
    EXPECT_EQ("40", number->GetValue());
    Pick(delay, kCustom);
    EXPECT_TRUE(number->IsEnabled());
    EXPECT_EQ("40", Setting("KBWDLY").Value);  // picking the entry alone changes nothing
    number->SetValue("125");
    EXPECT_EQ("125", Setting("KBWDLY").Value);
    EXPECT_EQ(kCustom + "125", Setting("KBWDLY").ValueText);
    number->SetValue("12x;");  // pasted garbage keeps the last number
    EXPECT_EQ("125", Setting("KBWDLY").Value);

    auto& tone = dynamic_cast<CGroupRadioControl&>(*Setting("BEPTON").Control);
    const std::vector<wxRadioButton*> tones = tone.GetButtons();
    ASSERT_EQ(3u, tones.size());
    EXPECT_EQ(34 + 3 * 29, tone.Height);
    EXPECT_TRUE(tones[0]->GetValue());
    tones[2]->SetValue(true);
    Send(tones[2], wxEVT_RADIOBUTTON);
    EXPECT_EQ("3", Setting("BEPTON").Value);
    EXPECT_EQ("High", Setting("BEPTON").ValueText);

    auto* handshake = WidgetOf<wxCheckBox>("232AFL");
    ASSERT_NE(nullptr, handshake);
    EXPECT_EQ("Off", handshake->GetLabel());  // the state in words, not only a tick
    EXPECT_FALSE(handshake->GetValue());
    Tick(handshake, true);
    EXPECT_EQ("1", Setting("232AFL").Value);  // offline: the items' values, not the limits
    EXPECT_EQ("On", Setting("232AFL").ValueText);
    EXPECT_EQ("On", handshake->GetLabel());

    // Offline a button group's choice is kept like any other change.
    const std::vector<wxButton*> presets = dynamic_cast<CGroupButtonControl&>(*Setting("MODPRE").Control).GetButtons();
    ASSERT_EQ(2u, presets.size());
    Press(presets[1]);
    EXPECT_EQ("1", Setting("MODPRE").Value);

    EXPECT_EQ((std::vector<wxString>{"BEPLVL", "SCNMOD", "KBWDLY", "BEPTON", "232AFL", "MODPRE"}),
              CPendingChangeList::GetInstance().GetNames());
    Tick(handshake, false);
    EXPECT_FALSE(IsPending("232AFL"));  // back to the device's value
}

TEST_F(ListControlsTest, ARefreshShowsTheModesValueAndFallsBackToTheFirstItem)
{
    BuildPage("Lists");
    CCmdNameXmlInfo& volume = Setting("BEPLVL");
    volume.DeviceValue = volume.Value = "7";  // outside the list: the first item shown, not the hidden "Off"
    GetControlFactory()->RefreshControl(volume.Control, 0);
    EXPECT_EQ("Low", WidgetOf<wxChoice>("BEPLVL")->GetStringSelection());
    EXPECT_EQ("1", volume.DeviceValue);
    EXPECT_FALSE(IsPending("BEPLVL"));

    CCmdNameXmlInfo& delay = Setting("KBWDLY");
    delay.Value = "77";
    GetControlFactory()->RefreshControl(delay.Control, 2);
    EXPECT_EQ(kCustom, WidgetOf<wxChoice>("KBWDLY")->GetStringSelection());
    wxTextCtrl* number = dynamic_cast<CComboBoxCustomControl&>(*delay.Control).GetCustomEdit();
    EXPECT_EQ("77", number->GetValue());
    EXPECT_TRUE(number->IsEnabled());
    EXPECT_EQ("77", delay.Value);  // no first-item fallback for a custom number
    EXPECT_EQ("5", delay.DeviceValue);

    CCmdNameXmlInfo& tone = Setting("BEPTON");
    tone.Default = "2";
    GetControlFactory()->RefreshControl(tone.Control, 1);
    EXPECT_TRUE(dynamic_cast<CGroupRadioControl&>(*tone.Control).GetButtons()[1]->GetValue());

    Setting("232AFL").DeviceValue = "1";
    GetControlFactory()->RefreshControl(Setting("232AFL").Control, 0);
    EXPECT_TRUE(WidgetOf<wxCheckBox>("232AFL")->GetValue());
}

// A drop-down list is as wide as its longest label and the arrow's room; on a page too
// narrow for that it keeps to its column rather than cover the hint.
TEST_F(ListControlsTest, ADropDownIsAsWideAsItsLongestLabelAndTheArrowWithinItsColumn)
{
    const struct {
        int pageWidth;
        const char* name;
        bool fitsColumn;
    } cases[] = {
        {1000, "BEPLVL", true},
        {1000, "SCNMOD", true},
        {1000, "KBWDLY", true},
        {240, "SCNMOD", false},
    };
    auto* page = new CPageDlg(m_frame, CPageMntXmlInfo::GetInstance().FindPage("Lists"));
    page->BuildControls();
    for (const auto& c : cases) {
        page->SetSize(0, 0, c.pageWidth, 600);
        Setting(c.name).Control->Layout();
        auto* list = WidgetOf<wxChoice>(c.name);
        ASSERT_NE(nullptr, list) << c.name;
        int longest = 0;
        for (const wxString& label : EntriesOf(list))
            longest = std::max(longest, list->GetTextExtent(label).GetWidth());
        ASSERT_GT(longest, 0) << c.name;
        const int column = (list->GetParent()->GetClientSize().GetWidth() - 40) / 3;
        EXPECT_EQ(c.fitsColumn, longest + CComboBoxControl::kArrowRoom <= column) << c.name << " at " << c.pageWidth;
        EXPECT_EQ(std::min(longest + CComboBoxControl::kArrowRoom, column), list->GetSize().GetWidth())
            << c.name << " at " << c.pageWidth;
    }
}

// Scrolling a page past its rows must not change what the pointer passes over.
TEST_F(ListControlsTest, TheWheelOverAValueWidgetWithoutTheFocusScrollsThePage)
{
    auto* page = new CPageDlg(m_frame, CPageMntXmlInfo::GetInstance().FindPage("Lists"));
    m_frame->Show();
    page->SetSize(0, 0, 640, 150);
    page->BuildControls();
    for (const char* name : {"BEPLVL", "SCNMOD", "KBWDLY", "RTCDAT"}) {
        wxWindow* widget = WidgetOf(name);
        ASSERT_NE(nullptr, widget) << name;
        const int32_t before = page->GetScrollOffset();
        EXPECT_TRUE(TurnWheel(*widget)) << name << " was left the wheel";
        EXPECT_EQ(before + 3 * CPageDlg::kLineScroll, page->GetScrollOffset()) << name;
    }
    EXPECT_TRUE(CPendingChangeList::GetInstance().GetNames().empty());

    // Once the user has clicked into a drop-down the wheel is its own.
    auto* volume = WidgetOf<wxChoice>("BEPLVL");
    page->ScrollToControl(*Setting("BEPLVL").Control);
    volume->SetFocus();
    for (int i = 0; i < 20 && wxWindow::FindFocus() != volume; ++i)
        wxYield();
    ASSERT_EQ(volume, wxWindow::FindFocus());
    const int32_t before = page->GetScrollOffset();
    EXPECT_FALSE(TurnWheel(*volume));
    EXPECT_EQ(before, page->GetScrollOffset());
}

TEST_F(ListControlsTest, AButtonGroupRunsOnTheScannerAndReadsBackWithoutLosingPendingChanges)
{
    CScriptedScanner& scanner =
        ConnectScanner({ReplyFrame("MODPRE1\x06"), ReplyFrame("BEPLVL2\x06;SCNMOD2\x06;MODPRE1\x06")}, true);
    Setting("232AFL").DeviceValue = Setting("232AFL").Value = "4";
    BuildPage("Lists");
    // Online the toggle's states are the scanner's limits, and a custom number
    // needs a range beside the list.
    EXPECT_EQ((std::vector<wxString>{"None", "Short", "Long"}), EntriesOf(WidgetOf<wxChoice>("KBWDLY")));
    auto* handshake = WidgetOf<wxCheckBox>("232AFL");
    EXPECT_FALSE(handshake->GetValue());
    Tick(handshake, true);
    EXPECT_EQ("9", Setting("232AFL").Value);
    Pick(WidgetOf<wxChoice>("BEPLVL"), "Low");

    std::vector<size_t> heardInWaitDialog;
    CWaitDlg::SetWorkRunner([&](const std::function<bool()>& work) {
        const bool result = RunOnLine(work);
        heardInWaitDialog.push_back(scanner.Requests().size());
        return result;
    });
    PressPreset(1);
    CWaitDlg::SetWorkRunner(nullptr);
    EXPECT_EQ(std::vector<size_t>{2u}, heardInWaitDialog) << "the command and the read-back wait in one dialog";
    EXPECT_EQ((std::vector<std::string>{std::string("~\x01" "0000@MODPRE1;\x03"), std::string("~\x01" "0000@*;\x03")}),
              scanner.Requests());
    EXPECT_TRUE(m_messages.Texts().empty());
    EXPECT_EQ("1", Setting("MODPRE").DeviceValue);
    EXPECT_FALSE(IsPending("MODPRE"));
    EXPECT_EQ("2", Setting("SCNMOD").Value);  // the preset changed it on the scanner
    EXPECT_EQ("Sense", WidgetOf<wxChoice>("SCNMOD")->GetStringSelection());
    EXPECT_EQ("1", Setting("BEPLVL").Value);  // the user's own change stays
    EXPECT_EQ("Low", WidgetOf<wxChoice>("BEPLVL")->GetStringSelection());
    EXPECT_EQ("2", Setting("BEPLVL").DeviceValue);
    EXPECT_TRUE(IsPending("BEPLVL"));

    scanner.Script({ReplyFrame("MODPRE0\x15")});
    PressPreset(0);
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("保存失败 \r\n命令 :[MODPRE] ")}, m_messages.Texts());
    EXPECT_EQ("1", Setting("MODPRE").Value);
    EXPECT_EQ("1", Setting("MODPRE").DeviceValue);
}

}  // namespace
