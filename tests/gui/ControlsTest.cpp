// Setting controls: the three-column row, the registry of control kinds, values
// going between widgets and definitions, and groups of rows on a page.
#include "regCtrl/object/ComboBoxControl.h"
#include "regCtrl/object/CreateObject.h"

#include "GuiTestSupport.h"
#include "pages/PageDlg.h"

#include <wx/anybutton.h>
#include <wx/tooltip.h>

#include <memory>

namespace {

class ControlsTest : public PageFixture {
protected:
    void SetUp() override { InstallWindowControlFactory(); }
    void TearDown() override
    {
        m_definitions.clear();
        PageFixture::TearDown();
    }

    // A setting as the page file and the model together give it.
    CCmdNameXmlInfo& Define(const wxString& name, const wxString& keyword, const wxString& value,
                            const wxString& defaultValue, const wxString& items = "", const wxString& deviceItems = "")
    {
        m_definitions.push_back(std::make_unique<CCmdNameXmlInfo>());
        CCmdNameXmlInfo& definition = *m_definitions.back();
        definition.CommandName = name;
        definition.ControlType = keyword;
        definition.FriendlyText = "Caption of " + name;
        definition.Value = definition.DeviceValue = definition.LoadedValue = value;
        definition.Default = defaultValue;
        definition.DefaultText = defaultValue;
        definition.SettingsList = items;
        definition.DeviceSettingsList = deviceItems;
        return definition;
    }

    // The whole 640 x 800 panel.
    static SControlRect PageRect()
    {
        SControlRect rect;
        rect.right = 640;
        rect.bottom = 800;
        return rect;
    }

    CControlBase& CreateRow(CCmdNameXmlInfo& definition)
    {
        definition.CreateControl(m_page, nullptr, PageRect());
        EXPECT_NE(nullptr, definition.Control);
        return *definition.Control;
    }

    std::vector<std::unique_ptr<CCmdNameXmlInfo>> m_definitions;
};

wxRect RectOf(wxWindow* window)
{
    return window ? window->GetRect() : wxRect();
}

TEST_F(ControlsTest, ARowSplitsThePageWidthIntoCaptionWidgetAndHint)
{
    CCmdNameXmlInfo& edit = Define("PRESET", "EDIT", "AB", "");
    CControlBase& row = CreateRow(edit);
    GetControlFactory()->MoveControl(&row, 50);
    EXPECT_EQ(wxRect(10, 50, 180, 30), RectOf(row.CaptionStatic));
    ASSERT_NE(nullptr, row.GetValueWnd());
    EXPECT_EQ(wxPoint(200, 50), row.GetValueWnd()->GetPosition());
    EXPECT_EQ(200, row.GetValueWnd()->GetSize().GetWidth());
    EXPECT_EQ(wxRect(410, 50, 220, 30), RectOf(row.HintStatic));
    m_page->SetSize(0, 0, 20, 600);  // narrower than the margins: no room, but no negative sizes
    GetControlFactory()->MoveControl(&row, 50);
    EXPECT_EQ(0, RectOf(row.CaptionStatic).width);
    EXPECT_EQ(12, RectOf(row.HintStatic).width);  // from 2w + 10 = -2 (w = -20 / 3) to 20 - 10
    m_page->SetSize(0, 0, 640, 800);

    // A keyword nobody registered still gets its row, with an empty widget column.
    CCmdNameXmlInfo& unknown = Define("XYZABC", "NOSUCHKIND", "3", "3");
    unknown.Minimum = 1;
    unknown.Maximum = 9;
    CControlBase& plain = CreateRow(unknown);
    GetControlFactory()->MoveControl(&plain, 90);
    EXPECT_EQ("NOSUCHKIND", plain.ControlType);
    EXPECT_EQ(nullptr, plain.GetValueWnd());
    ASSERT_TRUE(plain.CaptionStatic && plain.HintStatic);
    EXPECT_EQ("Caption of XYZABC", plain.CaptionStatic->GetLabel());
    EXPECT_EQ("Default: 3  Range: 1-9", plain.HintStatic->GetLabel());
    EXPECT_EQ(wxRect(410, 90, 220, 30), RectOf(plain.HintStatic));
}

TEST_F(ControlsTest, TheFirstRegistrationOfAKeywordWins)
{
    CCreateObject& registry = CCreateObject::GetInstance();
    int firstCalls = 0, secondCalls = 0;
    auto destroy = [](CControlBase* control) { delete control; };
    EXPECT_EQ(1, registry.Register("CUSTOMKIND", [&] { ++firstCalls; return new CControlBase(); }, destroy));
    EXPECT_EQ(1, registry.Register("CUSTOMKIND", [&] { ++secondCalls; return new CControlBase(); }, destroy));
    EXPECT_EQ(0, registry.Register("", [] { return new CControlBase(); }, destroy));
    EXPECT_TRUE(CControlMnt::GetInstance().CreateControl("CUSTOMKIND"));
    EXPECT_EQ(1, firstCalls);
    EXPECT_EQ(0, secondCalls);
    EXPECT_TRUE(dynamic_cast<CComboBoxControl*>(CControlMnt::GetInstance().CreateControl("COMBOBOX").get()));
    EXPECT_FALSE(dynamic_cast<CComboBoxControl*>(CControlMnt::GetInstance().CreateControl("combobox").get()));

    registry.Register("NOTHING", [] { return static_cast<CControlBase*>(nullptr); }, destroy);
    const std::unique_ptr<CControlBase> fallback = CControlMnt::GetInstance().CreateControl("NOTHING");
    ASSERT_TRUE(fallback);
    EXPECT_EQ("NOTHING", fallback->ControlType);
    EXPECT_FALSE(CControlMnt::GetInstance().CreateControl(""));
}

TEST_F(ControlsTest, AComboBoxHidesUnsupportedItemsAndAdoptsTheFirstForAnUnlistedValue)
{
    CCmdNameXmlInfo& baud = Define("232BAD", "COMBOBOX", "3", "3", "0:1200|1:2400|3:9600|7:115200", "0|1|3|7");
    baud.UnSupportSettingsList = "1";
    CControlBase& row = CreateRow(baud);
    auto* choice = dynamic_cast<wxChoice*>(row.GetValueWnd());
    ASSERT_NE(nullptr, choice);
    EXPECT_EQ((std::vector<wxString>{"1200", "9600", "115200"}), EntriesOf(choice));  // 2400 is hidden
    EXPECT_EQ("9600", choice->GetStringSelection());
    EXPECT_EQ("Default: 3 ", row.HintStatic->GetLabel());

    // A value outside the list becomes the first item, and that is no change of the user's.
    CCmdNameXmlInfo& power = Define("PWRMOD", "COMBOBOX", "7", "7", "0:Off|1:On", "0|1");
    EXPECT_EQ("Off", dynamic_cast<wxChoice*>(CreateRow(power).GetValueWnd())->GetStringSelection());
    EXPECT_EQ((std::vector<wxString>{"0", "0", "0"}),
              (std::vector<wxString>{power.Default, power.Value, power.DeviceValue}));
    EXPECT_FALSE(CPendingChangeList::GetInstance().IsListed(&power));
}

// On hover a row tells what the setting is: caption, default (caption and raw value)
// and the command name last; a label its column cuts shows its whole text too.
TEST_F(ControlsTest, TooltipsNameTheSettingAndShowWhatTheColumnCuts)
{
    CCmdNameXmlInfo& volume = Define("BEPLVL", "COMBOBOX", "2", "2", "1:Low|2:High", "1|2");
    volume.DefaultText = "High";
    CControlBase& row = CreateRow(volume);
    ASSERT_TRUE(row.HintStatic && row.HintStatic->GetToolTip());
    EXPECT_EQ("Default: High", row.HintStatic->GetToolTipText());
    for (wxWindow* part : {static_cast<wxWindow*>(row.CaptionStatic.get()), row.GetValueWnd()}) {
        const wxString tip = part->GetToolTipText();
        EXPECT_TRUE(tip.StartsWith(volume.GetFriendlyText() + "\n")) << tip;
        EXPECT_NE(wxNOT_FOUND, tip.Find("Default: High (2)")) << tip;
        EXPECT_TRUE(tip.EndsWith("\nBEPLVL")) << tip;
    }

    CControlBase& bare = CreateRow(Define("SUFSET", "EDIT", "", ""));
    ASSERT_TRUE(bare.HintStatic);
    EXPECT_EQ(nullptr, bare.HintStatic->GetToolTip()) << "no default, no tooltip on the hint";
    EXPECT_TRUE(bare.CaptionStatic->GetToolTipText().StartsWith("Caption of SUFSET\n"));

    const wxString longText = "Transmit the code identifier in front of every decoded bar code";
    CCmdNameXmlInfo& action = Define("KBWNUM", "BUTTON", "0", "0");
    action.FriendlyText = "Send";
    CControlBase& actionRow = CreateRow(action);
    auto* button = dynamic_cast<wxAnyButton*>(actionRow.GetValueWnd());
    ASSERT_NE(nullptr, button);
    button->SetLabel(longText);
    m_page->SetSize(0, 0, 160, 800);  // the button's column now cuts its label
    GetControlFactory()->MoveControl(&actionRow, 0);
    EXPECT_TRUE(button->GetToolTipText().StartsWith(longText + "\nSend\n")) << button->GetToolTipText();
}

const char kGroupModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>232BAD</CommandName><Default>3</Default><SettingsList>0|3|7</SettingsList></Command>
 <Command><CommandName>DFMSET</CommandName></Command>
 <Command><CommandName>PRESET</CommandName><Default>AB</Default></Command>
 <Command><CommandName>SUFSET</CommandName></Command>
</DeviceConfiguration>)";

const char kGroupPages[] = R"(<Pages>
 <Page><Value>Output</Value>
  <GroupName><Value>Link</Value>
   <Command><CommandName>232BAD</CommandName><FriendlyText>Baud rate</FriendlyText><ControlType>COMBOBOX</ControlType>
    <SettingsList>0:1200|3:9600|7:115200</SettingsList></Command>
   <Command><CommandName>DFMSET</CommandName><ControlType>DATAFORMAT</ControlType></Command>
   <Command><CommandName>PRESET</CommandName><FriendlyText>Prefix</FriendlyText><ControlType>EDIT</ControlType></Command>
  </GroupName>
  <GroupName><Value>Suffix</Value>
   <Command><CommandName>SUFSET</CommandName><ControlType>EDIT</ControlType></Command>
  </GroupName>
 </Page>
</Pages>)";

TEST_F(ControlsTest, AGroupStacksItsRowsByHeightAndHidesThemWhenClosed)
{
    LoadFiles(kGroupModel, kGroupPages);
    const CPageXmlInfo& page = *CPageMntXmlInfo::GetInstance().FindPage("Output");
    CGroupNameXmlInfo& link = *page.GetGroups()[0];
    CGroupNameXmlInfo& suffix = *page.GetGroups()[1];

    int layouts = 0;
    CWindowControlFactory::GetInstance().SetLayoutPageHandler([&] { ++layouts; });
    std::vector<CControlBase*> broughtForward;
    CWindowControlFactory::GetInstance().SetBringPageForwardHandler(
        [&](CControlBase& control) { broughtForward.push_back(&control); });

    const SControlRect rect = PageRect();
    ASSERT_TRUE(link.CreateControls(m_page, rect, true));
    ASSERT_TRUE(suffix.CreateControls(m_page, rect, false));
    link.MoveGroup(0);
    const auto& rows = link.GetCommands();
    ASSERT_EQ(3u, rows.size());
    wxWindow* heading = link.GroupControl->GetValueWnd();
    ASSERT_NE(nullptr, heading);
    EXPECT_EQ(wxRect(10, 0, 620, 30), heading->GetRect());
    // A row is as high as the model says, or as its widget needs where the
    // desktop's widgets are taller; the data-format row is 240 high.
    const int first = rows[0]->Control->Height;
    EXPECT_GE(first, 30);
    EXPECT_GE(first, rows[0]->Control->GetValueWnd()->GetBestSize().y);
    EXPECT_EQ(40, RectOf(rows[0]->Control->CaptionStatic).y);
    EXPECT_EQ(40 + first + 10, RectOf(rows[1]->Control->CaptionStatic).y);
    EXPECT_EQ(40 + first + 10 + 240 + 10, RectOf(rows[2]->Control->CaptionStatic).y);

    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetEventObject(heading);
    heading->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(0, link.Expanded);
    EXPECT_EQ(1, layouts);
    EXPECT_FALSE(rows[0]->Control->CaptionStatic->IsShown());
    EXPECT_FALSE(rows[2]->Control->GetValueWnd()->IsShown());
    heading->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(1, link.Expanded);
    EXPECT_TRUE(rows[2]->Control->GetValueWnd()->IsShown());

    // A page's only group cannot be closed.
    wxWindow* lonelyHeading = suffix.GroupControl->GetValueWnd();
    lonelyHeading->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(1, suffix.Expanded);

    GetControlFactory()->FocusControl(rows[0]->Control);
    EXPECT_EQ(std::vector<CControlBase*>{rows[0]->Control}, broughtForward);

    // The controls take their widgets with them. (The fixture's tear-down, run after
    // every page test, destroys the page window first and the controls after it.)
    CPageMntXmlInfo::ResetInstance();
    EXPECT_TRUE(m_page->GetChildren().empty());
}

// Open groups take a 30-pixel heading and each row its height, all 10 pixels apart.
TEST_F(ControlsTest, APagesContentHeightFollowsItsOpenGroupsAndItsRowsScrollAsOne)
{
    LoadFiles(kGroupModel, kGroupPages);
    CPageXmlInfo* page = CPageMntXmlInfo::GetInstance().FindPage("Output");
    auto* window = new CPageDlg(m_frame, page);
    window->SetSize(640, 150);
    window->BuildControls();
    CGroupNameXmlInfo& link = *page->GetGroups().front();
    const auto rowHeight = [&](size_t group, size_t row) {
        return page->GetGroups()[group]->GetCommands()[row]->Control->Height;
    };
    EXPECT_EQ((30 + 10) + (rowHeight(0, 0) + 10) + (240 + 10) + (rowHeight(0, 2) + 10) + (30 + 10) +
                  (rowHeight(1, 0) + 10),
              window->GetContentHeight());
    link.SetExpanded(false);
    EXPECT_EQ((30 + 10) + (30 + 10) + (rowHeight(1, 0) + 10), window->GetContentHeight());
    link.SetExpanded(true);

    const CControlBase* last = page->GetGroups().back()->GetCommands().back()->Control;
    ASSERT_NE(nullptr, last);
    const int32_t before = last->OffsetY;
    window->ScrollToControl(*last);
    EXPECT_GT(window->GetScrollOffset(), 0);
    EXPECT_EQ(before - window->GetScrollOffset(), last->OffsetY) << "rows move with the scroll position";
    EXPECT_LE(last->OffsetY + last->Height, 150);
}

}  // namespace
