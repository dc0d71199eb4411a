// The button, code identifier, file and value-list controls on a page.
#include "config/gui/ConfigPageEvents.h"
#include "config/gui/FileChooser.h"
#include "config/SaveCfg.h"
#include "regCtrl/object/FileSelectControl.h"

#include "GuiTestSupport.h"

#include <wx/app.h>
#include <wx/grid.h>
#include <wx/listbox.h>

#include <string>

namespace {

const char kButtonModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>BEPLVL</CommandName><SettingsList>0|1|2</SettingsList><Default>2</Default></Command>
 <Command><CommandName>BEPDEF</CommandName></Command>
 <Command><CommandName>BEPWAV</CommandName></Command>
 <Command><CommandName>OCRTPL</CommandName></Command>
 <Command><CommandName>FLTLST</CommandName></Command>
 <Command><CommandName>CIDTAB</CommandName><SettingsList>j|D</SettingsList></Command>
 <Command><CommandName>CID128</CommandName><Default>j</Default></Command>
 <Command><CommandName>CIDDEF</CommandName></Command>
 <Command><CommandName>WLSBLV</CommandName></Command>
 <Command><CommandName>SETCOD</CommandName></Command>
</DeviceConfiguration>)";

const char kButtonPages[] = R"(<Pages>
 <Page><Value>Settings</Value>
  <GroupName><Value>Beeper</Value>
   <Command><CommandName>BEPLVL</CommandName><FriendlyText>Volume</FriendlyText><ControlType>COMBOBOX</ControlType>
    <SettingsList>0:Off|1:Low|2:High</SettingsList></Command>
   <Command><CommandName>BEPDEF</CommandName><FriendlyText>Defaults</FriendlyText><ControlType>DEFCMD</ControlType></Command>
  </GroupName>
  <GroupName><Value>Files and lists</Value>
   <Command><CommandName>BEPWAV</CommandName><FriendlyText>Sound</FriendlyText><ControlType>FILESELECT</ControlType>
    <SettingsList>0:wav</SettingsList></Command>
   <Command><CommandName>OCRTPL</CommandName><FriendlyText>Templates</FriendlyText><ControlType>MULFILESELECT</ControlType>
    <SettingsList>0:otp|1:xml</SettingsList></Command>
   <Command><CommandName>FLTLST</CommandName><FriendlyText>Starts</FriendlyText><ControlType>MULVALUE</ControlType></Command>
  </GroupName>
  <GroupName><Value>Code ID</Value>
   <Command><CommandName>CIDTAB</CommandName><FriendlyText>Symbology</FriendlyText><ControlType>CODEID</ControlType>
    <SettingsList>j:Code 128|d:EAN-13|D:EAN-8</SettingsList></Command>
   <Command><CommandName>CID128</CommandName><FriendlyText>Code 128 ID</FriendlyText><ControlType>EDIT</ControlType></Command>
   <Command><CommandName>CIDDEF</CommandName><FriendlyText>Default IDs</FriendlyText><ControlType>BUTTON</ControlType></Command>
   <Command><CommandName>WLSBLV</CommandName><FriendlyText>Battery</FriendlyText><ControlType>BUTTONGETTEXT</ControlType></Command>
  </GroupName>
 </Page>
 <Page><Value>Settings Code</Value>
  <GroupName><Value>Barcodes</Value>
   <Command><CommandName>SETCOD</CommandName><ControlType>CREATEBARCODE</ControlType></Command>
   <Command><CommandName>SETCOD</CommandName><FriendlyText>Sheet layout</FriendlyText><ControlType>MNUCMD</ControlType></Command>
  </GroupName>
 </Page>
</Pages>)";

// Types into a cell of the table the way a user does: open its editor, type, leave.
void TypeIntoCell(wxGrid& grid, int row, const wxString& text)
{
    grid.SetGridCursor(row, 1);
    grid.EnableCellEditControl();
    ASSERT_TRUE(grid.IsCellEditControlEnabled());
    wxGridCellEditor* editor = grid.GetCellEditor(row, 1);
    auto* field = dynamic_cast<wxTextCtrl*>(editor->GetControl());
    editor->DecRef();
    ASSERT_NE(nullptr, field);
    field->SetValue(text);
    grid.SaveEditControlValue();
    grid.DisableCellEditControl();
}

class ButtonControlsTest : public PageFixture {
protected:
    void SetUp() override
    {
        LoadFiles(kButtonModel, kButtonPages);
        m_frame->Show();
    }

    // The file dialog answers `path` and remembers the filter it was given.
    void AnswerFiles(const wxString& path)
    {
        SetFileChooser([this, path](const SFileQuestion& question) {
            m_filters.push_back(question.filter);
            return path;
        });
    }

    std::vector<wxString> m_filters;
};

TEST_F(ButtonControlsTest, FileChoicesAndValueListsCommitWhatTheUserPutInThem)
{
    BuildPage("Settings");

    // One file: the dialog offers the setting's extensions; a cancel keeps the path.
    auto& sound = dynamic_cast<CFileSelectControl&>(*Setting("BEPWAV").Control);
    AnswerFiles("/media/beep.wav");
    Press(sound.GetBrowseButton());
    EXPECT_EQ(std::vector<wxString>{"(*.wav)|*.wav|All Files (*.*)|*.*"}, m_filters);
    EXPECT_EQ("/media/beep.wav", dynamic_cast<wxTextCtrl*>(sound.GetValueWnd())->GetValue());
    EXPECT_EQ("/media/beep.wav", Setting("BEPWAV").Value);
    EXPECT_TRUE(IsPending("BEPWAV"));
    AnswerFiles("");
    Press(sound.GetBrowseButton());
    EXPECT_EQ("/media/beep.wav", Setting("BEPWAV").Value);

    // Several files: browsing lists one, IDPATH gives the selected one a new path.
    wxWindow* templates = WidgetOf("OCRTPL");
    AnswerFiles("/ocr/a.otp");
    Press(wxWindow::FindWindowByName("ID_BROWSE", templates));
    ChildOf<wxListBox>(templates)->SetSelection(0);
    ChildOf<wxTextCtrl>(templates)->SetValue("/ocr/b.xml");
    Press(wxWindow::FindWindowByName("IDPATH", templates));
    EXPECT_EQ("/ocr/b.xml", Setting("OCRTPL").Value);
    EXPECT_EQ(1u, ChildOf<wxListBox>(templates)->GetCount());

    // Values: added from the field (a repeat is refused), deleted, taken from a white list.
    wxWindow* starts = WidgetOf("FLTLST");
    for (const char* typed : {"AB", " 97 ", "AB"}) {
        ChildOf<wxTextCtrl>(starts)->SetValue(typed);
        Press(wxWindow::FindWindowByName("IDADD", starts));
    }
    EXPECT_EQ("AB|97", Setting("FLTLST").Value);
    ChildOf<wxListBox>(starts)->SetSelection(0);
    Press(wxWindow::FindWindowByName("IDDELETE", starts));
    EXPECT_EQ("97", Setting("FLTLST").Value);
    m_dir.Write("white.txt", "X1\r\n97\r\n\r\nX2\r\n");
    AnswerFiles(m_dir.File("white.txt"));
    Press(wxWindow::FindWindowByName("IDWHITLIST", starts));
    EXPECT_EQ("97|X1|X2", Setting("FLTLST").Value);
    ChildOf<wxListBox>(starts)->SetSelection(0);
    Press(wxWindow::FindWindowByName("IDDELETE", starts));
    Press(wxWindow::FindWindowByName("IDDELETE", starts));  // nothing selected any more
    EXPECT_EQ("X1|X2", Setting("FLTLST").Value);

    // A configuration file's value is shown; a device read shows the device's list.
    Setting("FLTLST").Value = "F1|F2|F3";
    Setting("FLTLST").Control->Refresh(2);
    EXPECT_EQ(3u, ChildOf<wxListBox>(starts)->GetCount());
    Setting("FLTLST").Control->Refresh(0);
    EXPECT_EQ(0u, ChildOf<wxListBox>(starts)->GetCount());
}

TEST_F(ButtonControlsTest, TheCodeIdTableAndTheDefaultsButtonFollowThePendingChanges)
{
    BuildPage("Settings");
    auto* table = WidgetOf<wxGrid>("CIDTAB");
    ASSERT_NE(nullptr, table);
    ASSERT_EQ(2, table->GetNumberRows());  // EAN-13 is not offered by the model
    EXPECT_EQ("EAN-8", table->GetCellValue(1, 0));
    EXPECT_EQ("Symbology", table->GetColLabelValue(0));

    TypeIntoCell(*table, 1, "8");
    EXPECT_TRUE(IsPending("CIDTAB"));
    EXPECT_EQ("j|8", Setting("CIDTAB").Value);
    TypeIntoCell(*table, 0, "J");
    Setting("CIDTAB").Control->Refresh(0);  // as after an undo
    EXPECT_EQ("j", table->GetCellValue(0, 1));

    auto* volume = WidgetOf<wxChoice>("BEPLVL");
    Pick(volume, "Off");
    ASSERT_TRUE(IsPending("BEPLVL"));
    Press(WidgetOf("BEPDEF"));
    EXPECT_FALSE(IsPending("BEPLVL"));
    EXPECT_EQ("2", Setting("BEPLVL").Value);
    EXPECT_EQ("High", volume->GetStringSelection());
}

TEST_F(ButtonControlsTest, AButtonHasTheScannerActAndReadsBackOnlyWhatThatChanged)
{
    CScriptedScanner& scanner = ConnectScanner({}, true);
    BuildPage("Settings");
    Setting("CID128").SetValue("X");  // a pending change of a setting the button resets
    ChildOf<wxTextCtrl>(WidgetOf("FLTLST"))->SetValue("AB");
    Press(wxWindow::FindWindowByName("IDADD", WidgetOf("FLTLST")));
    ASSERT_TRUE(IsPending("CID128"));

    scanner.Script(
        {ReplyFrame("CIDDEF\x06"), ReplyFrame("CID128J\x06;CIDE13d\x06"), ReplyFrame("CIDDEF\x15")});
    ASSERT_TRUE(WidgetOf("CIDDEF")->IsEnabled());
    Press(WidgetOf("CIDDEF"));
    EXPECT_EQ((std::vector<std::string>{std::string("~\x01" "0000@CIDDEF;\x03"), std::string("~\x01" "0000@CID*;\x03")}),
              scanner.Requests());
    EXPECT_EQ("J", Setting("CID128").DeviceValue);
    EXPECT_EQ("J", WidgetOf<wxTextCtrl>("CID128")->GetValue());
    EXPECT_FALSE(IsPending("CID128"));
    EXPECT_TRUE(IsPending("FLTLST")) << "the user's other changes stay";
    EXPECT_EQ("d", CSaveCfg::GetInstance().GetValueMap().at("CIDE13"));
    EXPECT_TRUE(m_messages.Texts().empty());

    Press(WidgetOf("CIDDEF"));
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[0].Find(" :[CIDDEF] "));
    EXPECT_EQ("J", Setting("CID128").Value);

    // A value the scanner reports is shown beside its button.
    scanner.Script({ReplyFrame("WLSBLV87\x06")});
    Press(WidgetOf("WLSBLV"));
    EXPECT_EQ("87", Setting("WLSBLV").Control->HintStatic->GetLabel());
}

TEST_F(ButtonControlsTest, OfflineTheScannerButtonsAreDisabledAndAPageButtonLeadsToItsSetting)
{
    BuildPage("Settings");
    EXPECT_FALSE(WidgetOf("CIDDEF")->IsEnabled());
    EXPECT_FALSE(WidgetOf("WLSBLV")->IsEnabled());

    BuildPage("Settings Code");
    std::vector<CCmdNameXmlInfo*> shown;
    m_frame->Bind(EVT_VOSTREL_SHOW_SETTING, [&shown](wxCommandEvent& event) {
        shown.push_back(static_cast<CCmdNameXmlInfo*>(event.GetClientData()));
    });
    const auto& barcodes = CPageMntXmlInfo::GetInstance().FindPage("Settings Code")->GetGroups()[0]->GetCommands();
    ASSERT_EQ(2u, barcodes.size());
    Press(barcodes[1]->Control->GetValueWnd());
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(std::vector<CCmdNameXmlInfo*>{barcodes[0].get()}, shown);
}

}  // namespace
