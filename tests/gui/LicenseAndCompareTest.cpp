// The licence field panel, the two comparison panels and the update entry.
#include "app/AppContext.h"
#include "config/gui/CompareDefaultDlg.h"
#include "config/gui/CompareListCtrl.h"
#include "config/gui/CompareXmlDlg.h"
#include "config/SaveCfg.h"
#include "dlicense/gui/DriverLicenseInfoDlg.h"
#include "dlicense/gui/LicenseCodeDlg.h"
#include "regCtrl/object/CompareDefaultControl.h"
#include "regCtrl/object/CompareXmlControl.h"
#include "regCtrl/object/LicenseCodeControl.h"
#include "shell/VostrelDlg.h"
#include "update/gui/UpdateEntry.h"

#include "GuiTestSupport.h"
#include "update/LoopbackHttpServer.h"

#include <wx/app.h>
#include <wx/button.h>

namespace {

const char kLicenseModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>DLPSET</CommandName></Command>
 <Command><CommandName>BEPLVL</CommandName><SettingsList>0|1|2</SettingsList><Default>2</Default></Command>
 <Command><CommandName>SCNMOD</CommandName><SettingsList>0|2</SettingsList><Default>0</Default></Command>
 <Command><CommandName>DFTVSCRT</CommandName></Command>
 <Command><CommandName>XMLVSCRT</CommandName></Command>
</DeviceConfiguration>)";

const char kLicensePages[] = R"(<Pages>
 <Page><Value>Licence</Value><GroupName><Value>Fields</Value>
  <Command><CommandName>DLPSET</CommandName><FriendlyText>Fields</FriendlyText><ControlType>LICENSECODE</ControlType></Command>
 </GroupName></Page>
 <Page><Value>Compare</Value><GroupName><Value>Compare</Value>
  <Command><CommandName>BEPLVL</CommandName><FriendlyText>Volume</FriendlyText><ControlType>COMBOBOX</ControlType>
   <SettingsList>0:Off|1:Low|2:High</SettingsList></Command>
  <Command><CommandName>SCNMOD</CommandName><FriendlyText>Mode</FriendlyText><ControlType>COMBOBOX</ControlType>
   <SettingsList>0:Level|2:Sense</SettingsList></Command>
  <Command><CommandName>DFTVSCRT</CommandName><ControlType>COMPAREDEFAULT</ControlType></Command>
  <Command><CommandName>XMLVSCRT</CommandName><ControlType>COMPAREXML</ControlType></Command>
 </GroupName></Page>
</Pages>)";

class LicenseAndCompareTest : public PageFixture {
protected:
    void SetUp() override { LoadFiles(kLicenseModel, kLicensePages); }

    CLicenseCodeDlg& LicencePanel()
    {
        BuildPage("Licence");
        auto* control = dynamic_cast<CLicenseCodeControl*>(Setting("DLPSET").Control);
        EXPECT_NE(nullptr, control);
        return *control->GetPanel();
    }
    static std::vector<std::string> ListShown(const CCompareListCtrl& list)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list.GetNumberRows(); ++i) {
            rows.push_back(std::string((list.GetCellValue(i, 1) + "|" + list.GetCellValue(i, 2) + "|" +
                                        list.GetCellValue(i, 3) + (list.IsMarkedDifferent(i) ? " red" : ""))
                                           .utf8_str()));
        }
        return rows;
    }
};

TEST_F(LicenseAndCompareTest, PickedFieldsAndAFlagBecomeTheSettingsValueWithAPreview)
{
    CLicenseCodeDlg& panel = LicencePanel();
    EXPECT_FALSE(panel.FindWindow(CLicenseCodeDlg::ID_CLEAR)->IsEnabled());  // offline: nothing to clear

    CDriverLicenseInfoDlg picker(&panel, {});
    picker.GetSourceList(LICENSE_DATA_FIELDS)->SetSelection(0);           // (DAC)
    picker.GetSourceList(LICENSE_SEPARATOR)->SetSelection(0x2C);          // ","
    picker.AddSelectedSources();
    picker.GetSourceList(LICENSE_DATA_FIELDS)->SetSelection(25);          // (DCS)
    picker.AddSelectedSources();
    ASSERT_EQ(3u, picker.GetSelection().size());
    // The separator goes down behind the family name and comes back up between the names.
    picker.GetTargetList()->SetSelection(1);
    picker.MoveSelectedTarget(+1);
    EXPECT_EQ(0x2C, picker.GetSelection()[2].code);
    picker.MoveSelectedTarget(-1);
    panel.TakeSelection(picker.GetSelection());

    Tick(panel.GetFlag(CLicenseCodeDlg::ID_ADVANCED), true);
    EXPECT_EQ("10085d015e00075a2c31", Setting("DLPSET").Value);
    EXPECT_EQ("10085d015e00075a2c31", panel.GetValueText());
    EXPECT_EQ("JANE,SAMPLE", panel.GetPreviewText());
    EXPECT_TRUE(IsPending("DLPSET"));

    // A malformed value read back shows nothing chosen.
    Setting("DLPSET").Value = "10085d015e00075a";
    Setting("DLPSET").Control->Refresh(2);
    EXPECT_EQ("00045d005e00", panel.GetValueText());
}

// Where the limit lies is the licence code's own test; the picker must say it.
TEST_F(LicenseAndCompareTest, PickerRefusesThe501stEntryWithTheMessage)
{
    CLicenseCodeDlg& panel = LicencePanel();
    CDriverLicenseInfoDlg picker(&panel, std::vector<SLicenseEntry>(500, CLicenseCode::Separator(' ')));
    picker.GetSourceList(LICENSE_DATA_FIELDS2)->SetSelection(1);
    picker.AddSelectedSources();
    EXPECT_EQ(500u, picker.GetSelection().size());
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("最大支持500!")}, m_messages.Texts());
}

TEST_F(LicenseAndCompareTest, ClearAsksTheScannerAndNamesTheCommandWhenRefused)
{
    CScriptedScanner& scanner = ConnectScanner({ReplyFrame("DLPCLR\x15"), ReplyFrame("DLPCLR\x06")}, true);
    CLicenseCodeDlg& panel = LicencePanel();
    panel.TakeSelection({CLicenseCode::Separator('A')});
    Press(panel.FindWindow(CLicenseCodeDlg::ID_CLEAR));
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[0].StartsWith(wxString::FromUTF8("保存失败")));
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[0].Find(" :[DLPCLR] "));
    EXPECT_EQ(1u, panel.GetCode().entries.size());

    Press(panel.FindWindow(CLicenseCodeDlg::ID_CLEAR));
    EXPECT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(panel.GetCode().entries.empty());
    EXPECT_EQ("00045d005e00", Setting("DLPSET").Value);
    EXPECT_EQ(std::string("~\x01" "0000@DLPCLR;\x03"), scanner.Requests().back());
}

TEST_F(LicenseAndCompareTest, ComparingWithDefaultsAndAFileTicksAndClonesRows)
{
    BuildPage("Compare");
    Setting("BEPLVL").SetValue("0");
    CCompareDefaultDlg& defaults = *dynamic_cast<CCompareDefaultControl*>(Setting("DFTVSCRT").Control)->GetPanel();
    CCompareXmlDlg& file = *dynamic_cast<CCompareXmlControl*>(Setting("XMLVSCRT").Control)->GetPanel();
    Setting("DFTVSCRT").Control->OnPageShow();
    EXPECT_EQ((std::vector<std::string>{"Volume|High|Off red"}), ListShown(*defaults.GetList()));
    EXPECT_FALSE(defaults.GetButton(CCompareBaseDlg::ID_CLONE)->IsEnabled());
    Press(defaults.GetButton(CCompareBaseDlg::ID_SELECT_ALL));
    Press(defaults.GetButton(CCompareBaseDlg::ID_CLONE));
    EXPECT_EQ("2", Setting("BEPLVL").Value);
    EXPECT_TRUE(ListShown(*defaults.GetList()).empty());

    // Before a file is chosen a check box only reminds the user to choose one.
    Tick(file.GetCheckBox(CCompareBaseDlg::ID_SHOW_MATCHED), true);
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("请选择XML文件!")}, m_messages.Texts());
    m_dir.Write("other.xml", "<Vostrel DeviceType=\"X\"><Command CommandName=\"SCNMOD\" Value=\"2\"/>"
                             "<Command CommandName=\"BEPLVL\" Value=\"2\"/></Vostrel>");
    file.TakeFile(m_dir.File("other.xml"));
    // The licence setting is not in the file: said so, after the differences and not as one.
    EXPECT_EQ((std::vector<std::string>{"Volume|High|High", "Mode|Sense|Level red",
                                        "Fields|" + std::string(wxString::FromUTF8("文件中没有").utf8_str()) + "|NULL"}),
              ListShown(*file.GetList()));
    // A file that cannot be read is named, and the comparison with the last file stays.
    m_dir.Write("garbage.xml", std::string("\x89PNG\r\n\x1a\n\0garbage", 16));
    file.TakeFile(m_dir.File("garbage.xml"));
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[1].Find(m_dir.File("garbage.xml"))) << m_messages.Texts()[1];
    EXPECT_EQ(3u, ListShown(*file.GetList()).size());
    file.GetList()->Tick(1, true);
    file.Clone();
    EXPECT_EQ("2", Setting("SCNMOD").Value);
    EXPECT_TRUE(IsPending("SCNMOD"));
    EXPECT_EQ((std::vector<std::string>{"Mode|Level|Sense red"}), ListShown(*defaults.GetList()));
    // A file this program just saved differs in nothing.
    const wxString savedPath = m_dir.File("saved.xml");
    ASSERT_TRUE(RunOnLine([&savedPath] { return CSaveCfg::GetInstance().SaveConfiguration(savedPath); }));
    file.TakeFile(m_dir.File("saved.xml"));
    for (const std::string& row : ListShown(*file.GetList()))
        EXPECT_EQ(std::string::npos, row.find(" red")) << row;
}

class UpdateEntryTest : public MainWindowFixture {
protected:
    // An update site offering version 7 from `url`, and the updater's command lines kept.
    void ServeVersion7(const char* url)
    {
        m_site.Write("Vostrel/updateVostrel.xml", std::string("<VostrelUpdate><File><VersionZip>7</VersionZip><URL>") +
                                                      url + "</URL></File></VostrelUpdate>");
        m_server = std::make_unique<CLoopbackHttpServer>(std::string(m_site.Path().utf8_str()));
        SetUpdaterLauncher([this](const wxString& command) {
            m_started.push_back(command);
            return true;
        });
    }
    void TearDown() override
    {
        SetUpdaterLauncher(nullptr);
        MainWindowFixture::TearDown();
    }

    CTempDir m_site;
    std::unique_ptr<CLoopbackHttpServer> m_server;
    std::vector<wxString> m_started;
};

TEST_F(UpdateEntryTest, ANewerVersionOnTheServerStartsTheUpdaterAndClosesTheWindow)
{
    ServeVersion7("http://127.0.0.1/vostrel-1.0.7.zip");
    m_dir.Write("server.cfg", "[cfg]\nurl=" + m_server->Address() + "\n");
    CAppContext::GetInstance().SetVersion("1.0.0.0");
    ASSERT_TRUE(Start(""));
    ASSERT_TRUE(m_window->GetNavigationButton(CVostrelDlg::ITEM_UPDATE)->IsEnabled());
    m_messages.Answer(wxYES);
    m_window->SelectItem(CVostrelDlg::ITEM_UPDATE);

    ASSERT_EQ(1u, m_started.size());
    EXPECT_EQ(UpdaterCommand(m_dir.Path(), "1.0.0.0", "http://127.0.0.1/vostrel-1.0.7.zip"), m_started[0]);
    EXPECT_TRUE(m_started[0].EndsWith("vostrel-update\" -VER 1.0.0.0 -URL http://127.0.0.1/vostrel-1.0.7.zip -AUTO"));
    EXPECT_TRUE(wxTheApp->IsScheduledForDestruction(m_window));
    wxTheApp->ProcessIdle();
    m_window = nullptr;
}

// An installed copy (its data apart from its programs) is the package manager's: a
// newer version is only told of. Without an update source the entry says where to set one.
TEST_F(UpdateEntryTest, AnInstalledCopyOnlyTellsOfANewerVersionAndNoSourceIsExplained)
{
    ServeVersion7("https://example.org/vostrel-1.0.7.zip");
    CTempDir bin;
    CAppContext& context = CAppContext::GetInstance();
    context.SetProgramDirectory(bin.Path());
    context.SetDataDirectory(m_dir.Path());
    context.SetVersion("1.0.0.0");
    ASSERT_TRUE(Start(""));
    m_window->SelectItem(CVostrelDlg::ITEM_UPDATE);
    bin.Write("server.cfg", "[cfg]\nurl=" + m_server->Address() + "\n");
    m_window->SelectItem(CVostrelDlg::ITEM_UPDATE);

    EXPECT_TRUE(m_started.empty());
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[0].Find(bin.File("server.cfg"))) << m_messages.Texts()[0];
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[1].Find("https://example.org/vostrel-1.0.7.zip")) << m_messages.Texts()[1];
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[1].Find("apt install vostrel")) << m_messages.Texts()[1];
    EXPECT_FALSE(wxTheApp->IsScheduledForDestruction(m_window));
}

}  // namespace
