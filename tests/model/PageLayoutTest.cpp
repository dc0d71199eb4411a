// Pages and tabs: only supported settings are kept, tabs of empty pages go with the
// tabs that enclose them, heights reach only the tabs after them, and resets count.
#include "app/TaskProgress.h"
#include "model/TabNodeXmlInfo.h"

#include "support/CoreTest.h"
#include "support/RecordingControlFactory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

namespace {

const char kLayoutModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>232BAD</CommandName><Default>4</Default><SettingsList>0|4|8</SettingsList></Command>
 <Command><CommandName>BEPLVL</CommandName><Default>2</Default></Command>
 <Command><CommandName>PRESET</CommandName></Command>
 <Command><CommandName>SUFSET</CommandName></Command>
 <Command><CommandName>CPRSET</CommandName></Command>
</DeviceConfiguration>)";

const char kPages[] = R"(<Pages>
 <Page>
  <Value>Interface</Value>
  <GroupName>
   <Value>Serial port</Value><langID>ID_GROUP_SERIAL</langID>
   <Command><CommandName>232BAD</CommandName><ControlType>COMBOBOX</ControlType></Command>
   <Command><CommandName>NOSUCH</CommandName><ControlType>EDIT</ControlType></Command>
  </GroupName>
  <GroupName><Value>Nothing supported</Value>
   <Command><CommandName>ABSENT</CommandName><ControlType>EDIT</ControlType></Command>
  </GroupName>
 </Page>
 <Page>
  <Value>Beeper</Value>
  <GroupName><Value>Sound</Value>
   <Command><CommandName>BEPLVL</CommandName><ControlType>COMBOBOX</ControlType></Command>
  </GroupName>
  <GroupName><Value>Affixes</Value>
   <Command><CommandName>PRESET</CommandName><ControlType>EDIT</ControlType></Command>
   <Command><CommandName>SUFSET</CommandName><ControlType>EDIT</ControlType></Command>
   <Command><CommandName>CPRSET</CommandName><ControlType>EDIT</ControlType></Command>
  </GroupName>
 </Page>
 <Page>
  <Value>Interface</Value>
  <GroupName><Value>Second page of the same name</Value>
   <Command><CommandName>BEPLVL</CommandName><ControlType>EDIT</ControlType></Command>
  </GroupName>
 </Page>
 <Page>
  <Value>Imaging</Value>
  <GroupName><Value>Not on this model</Value>
   <Command><CommandName>IMGGET</CommandName><ControlType>IMAGE</ControlType></Command>
  </GroupName>
 </Page>
</Pages>)";

const char kTabs[] = R"(<MainCfg>
 <TabNode name="Early" key="E"><Page name="Beeper"/></TabNode>
 <property height="36"/>
 <TabNode name="Settings" langID="ID_TAB_SETTINGS" icon="set.png">
  <TabNode name="Before"><Page name="Interface"/></TabNode>
  <property height="40"/>
  <TabNode name="After"><Page name="Beeper"/></TabNode>
  <TabNode name="Camera"><Page name="Imaging"/></TabNode>
 </TabNode>
 <TabNode name="Device">
  <TabNode name="Inner"><TabNode name="Pictures"><Page name="Imaging"/></TabNode></TabNode>
 </TabNode>
 <TabNode name="Unnamed"><Page name=""/></TabNode>
</MainCfg>)";

class PageLayoutTest : public CCoreTest {
protected:
    void SetUp() override
    {
        SetControlFactory(&m_factory);
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_dir.Write("Config/Model.xml", kLayoutModel);
        m_dir.Write("Config/pageinfo.xml", kPages);
        m_dir.Write("Config/maincfg.xml", kTabs);
        m_dir.Write("Images/set.png", "\x89PNG\r\n\x1a\n-");
        ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::GetInstance().Load("Model.xml"));
    }
    void TearDown() override
    {
        hbds_set_log_directory(nullptr);
        CCoreTest::TearDown();
    }

    CPageMntXmlInfo& Pages() { return CPageMntXmlInfo::GetInstance(); }

    CRecordingFactory m_factory;
    CTempDir m_dir;
};

TEST_F(PageLayoutTest, PagesKeepOnlySupportedSettingsAndTheFirstPageOfANameAndResetsCountFailures)
{
    CTaskProgress progress;  // what the wait window shows while the pages ask the scanner
    WatchThisThreadsTask(&progress);
    ASSERT_TRUE(Pages().Load());
    WatchThisThreadsTask(nullptr);
    EXPECT_EQ(4u, progress.Total()) << "every Page element, the repeated name too";
    EXPECT_EQ(progress.Total(), progress.Done());
    ASSERT_EQ(3u, Pages().GetPages().size());
    const CPageXmlInfo* interface = Pages().FindPage("Interface");
    ASSERT_NE(nullptr, interface);
    ASSERT_EQ(2u, interface->GetGroups().size());  // a group stays even when all its settings went
    EXPECT_EQ("Serial port", interface->GetGroups()[0]->Caption);
    EXPECT_EQ("ID_GROUP_SERIAL", interface->GetGroups()[0]->langID);
    ASSERT_EQ(1u, interface->GetGroups()[0]->GetCommands().size());
    EXPECT_TRUE(interface->GetGroups()[1]->GetCommands().empty());
    EXPECT_FALSE(Pages().FindPage("Imaging")->HasCommands());

    EXPECT_EQ("232BAD", Pages().FindCommand("232bad")->CommandName);
    EXPECT_EQ("COMBOBOX", Pages().FindCommand("beplvl")->ControlType);  // "Beeper" sorts before "Interface"
    EXPECT_EQ(nullptr, Pages().FindCommand("NOSUCH"));

    // A reset counts and names what could not be reset.
    Pages().FindCommand("BEPLVL")->SetValue("0");
    Pages().ResetAllToDefaults();
    EXPECT_EQ("2", Pages().FindCommand("BEPLVL")->Value);
    const CPageXmlInfo* beeper = Pages().FindPage("Beeper");
    EXPECT_EQ(2, beeper->ResetFailCount);
    EXPECT_EQ("PRESET\rSUFSET", beeper->ResetFailNames);
    EXPECT_EQ(2, beeper->GetGroups()[1]->ResetFailCount);
    EXPECT_EQ(2, Pages().GetResetFailCount());
    EXPECT_EQ("PRESET\rSUFSET", Pages().GetResetFailNames());
    Pages().ResetAllToDefaults();
    EXPECT_EQ(2, Pages().GetResetFailCount());  // counts start again at every reset
}

TEST_F(PageLayoutTest, ABrokenPageFileKeepsThePreviousPages)
{
    ASSERT_TRUE(Pages().Load());
    m_dir.Write("log/.keep", "");
    hbds_set_log_directory(m_dir.File("log").utf8_str());
    m_dir.Write("Config/pageinfo.xml", "<Page><Value>x</Value></Page>");
    EXPECT_FALSE(Pages().Load());
    m_dir.Write("Config/pageinfo.xml", "<Pages><Page>");
    EXPECT_FALSE(Pages().Load());
    EXPECT_EQ(3u, Pages().GetPages().size());
    const std::string log = m_dir.Read(wxDateTime::Now().Format("log/hbds_%Y%m%d.log"));
    EXPECT_NE(std::string::npos, log.find("PageMntXmlInfo")) << log;
    EXPECT_NE(std::string::npos, log.find("GetName ERROR")) << log;
}

TEST_F(PageLayoutTest, TabsOfEmptyPagesGoWithTheTabsAroundThemAndHeightsReachOnlyLaterTabs)
{
    ASSERT_TRUE(Pages().Load());
    CTabNodeXmlInfo root;
    ASSERT_TRUE(root.Load());
    // A tab whose page kept nothing fails, and its parent drops it; "Unnamed" names no page.
    ASSERT_EQ(3u, root.GetChildren().size());
    const CTabNodeXmlInfo& early = *root.GetChildren()[0];
    EXPECT_EQ("Early", early.name);
    EXPECT_EQ("E", early.key);
    EXPECT_EQ(nullptr, early.Parent);
    EXPECT_EQ(30, early.ParentHeight);  // listed before the height was given
    EXPECT_EQ(36, root.height);
    EXPECT_EQ(36, root.ParentHeight);
    const CTabNodeXmlInfo& settings = *root.GetChildren()[1];
    EXPECT_EQ(36, settings.ParentHeight);
    ASSERT_EQ(2u, settings.GetChildren().size());  // "Camera" went
    const CTabNodeXmlInfo& after = *settings.GetChildren()[1];
    EXPECT_EQ("After", after.name);
    EXPECT_EQ(30, settings.GetChildren()[0]->ParentHeight);  // each level starts again at 30
    EXPECT_EQ(40, after.ParentHeight);
    EXPECT_EQ(&settings, after.Parent);
    EXPECT_EQ(Pages().FindPage("Beeper"), after.PageNode->Page);
    EXPECT_EQ(m_dir.Path() + "Images/set.png", settings.icons);  // falls back to the icon
    EXPECT_TRUE(settings.iconImage);
    const CTabNodeXmlInfo& device = *root.GetChildren()[2];
    ASSERT_EQ(1u, device.GetChildren().size());
    EXPECT_TRUE(device.GetChildren()[0]->GetChildren().empty());  // "Pictures" went
    EXPECT_EQ(&early, root.FindPage("Beeper"));
    EXPECT_EQ(nullptr, root.FindPage("Imaging"));
    EXPECT_EQ(settings.GetChildren()[0].get(), root.FindPage("Interface"));

    m_dir.Write("Config/maincfg.xml", "<MainCfg/>");
    EXPECT_FALSE(root.Load());
    EXPECT_EQ(3u, root.GetChildren().size());
}

TEST_F(PageLayoutTest, AGroupStacksItsRowsAndHidesThemWhenClosed)
{
    ASSERT_TRUE(Pages().Load());
    CGroupNameXmlInfo& affixes = *Pages().FindPage("Beeper")->GetGroups()[1];
    CGroupNameXmlInfo& empty = *Pages().FindPage("Interface")->GetGroups()[1];
    EXPECT_FALSE(empty.CreateControls(nullptr, SControlRect(), true));
    ASSERT_TRUE(affixes.CreateControls(nullptr, SControlRect(), true));
    ASSERT_TRUE(affixes.CreateControls(nullptr, SControlRect(), true));
    EXPECT_EQ(4, m_factory.created);  // the caption and three settings, once
    EXPECT_EQ("GROUPNAME", m_factory.keywords[0]);
    EXPECT_EQ(std::vector<bool>{true}, m_factory.manyGroups);

    affixes.MoveGroup(100);
    EXPECT_EQ(100, m_factory.positions[affixes.GroupControl]);
    const auto& commands = affixes.GetCommands();
    EXPECT_EQ(130, m_factory.positions[commands[0]->Control]);  // caption 20 + 10
    EXPECT_EQ(170, m_factory.positions[commands[1]->Control]);  // row 30 + 10
    EXPECT_EQ(210, m_factory.positions[commands[2]->Control]);

    affixes.SetExpanded(false);
    EXPECT_FALSE(m_factory.shown[commands[0]->Control]);
    EXPECT_EQ(1, m_factory.layouts);
    affixes.MoveGroup(0);
    EXPECT_EQ(0, m_factory.positions[affixes.GroupControl]);
    EXPECT_EQ(130, m_factory.positions[commands[0]->Control]);  // closed: the rows stay put

    CPageMntXmlInfo::ResetInstance();
    EXPECT_EQ(4, m_factory.destroyed);
}

}  // namespace
