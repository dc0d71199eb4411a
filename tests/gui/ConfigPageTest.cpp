// The configuration page built from the shipped files, offline and against a simulated scanner.
#include "config/ConnectSequence.h"
#include "config/gui/ConfigPageEvents.h"
#include "config/gui/FileChooser.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "dataformat/gui/DataFormatControlDlg.h"
#include "demo/DemoScanner.h"
#include "model/TabNodeXmlInfo.h"
#include "pages/CfgMainDlg.h"
#include "pages/CfgTitleDlg.h"
#include "pages/CmdSearchDlg.h"
#include "pages/PageDlg.h"
#include "pages/TabCreate.h"
#include "regCtrl/object/DataFormatControl.h"
#include "UI/gui/WaitDlg.h"

#include "GuiTestSupport.h"
#include "support/LinkFixture.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dir.h>

#include <map>

namespace {

class ConfigPageTest : public ShippedPageFixture {
protected:
    // Connects to a simulated scanner of `key` as the program does before showing the page.
    bool Connect(const char* key)
    {
        wxString error;
        m_port = AttachDemoScanner(key, "", 115200, error);
        DeviceEntry* added = m_port ? OpenTestDevice(m_port, 115200, 1000) : nullptr;
        UseModel(key);
        if (!added || !RunOnLine([added] { return RunConnectSequence(added); }))
            return false;
        CSaveCfg::GetInstance().SetOnline(true);
        return true;
    }
};

TEST_F(ConfigPageTest, AnOfflineModelOpensOnItsFirstPageAndSavesOpensAndResetsWithoutAScannerAndRefusesABrokenFile)
{
    UseModel("HBS-HS620");
    CCfgMainDlg* page = OpenPage(false);
    EXPECT_TRUE(page->GetButton(CCfgMainDlg::ID_OPEN)->IsShown());
    EXPECT_TRUE(page->GetButton(CCfgMainDlg::ID_DEFAULT)->IsShown());
    EXPECT_FALSE(page->GetButton(CCfgMainDlg::ID_SAVE_DEVICE)->IsShown());
    EXPECT_FALSE(page->GetButton(CCfgMainDlg::ID_LOAD_USER_DEFAULTS)->IsShown());

    CPageDlg* shown = page->GetSettingsArea()->GetCurrentPage();
    ASSERT_NE(nullptr, shown);
    // The first screen comes at once, the groups below it in later turns of the loop.
    EXPECT_GT(shown->GetContentHeight(), 0);
    EXPECT_TRUE(RunUntil([shown] { return shown->AreControlsBuilt(); }, 10));

    // Save what the pages hold, change a setting, open the saved file again: the
    // change is undone by the file and shows up as pending only where they differ.
    CCmdNameXmlInfo* country = Setting("KBWCTY");
    ASSERT_NE(nullptr, country);
    country->SetValue("2");
    // The user types a name without extension: the file gets ".xml". Typed again,
    // that name leads to an existing file, which is replaced only when the user says so.
    const wxString saved = m_dir.File("offline.xml");
    std::vector<wxString> titles;
    SetFileChooser([&](const SFileQuestion& question) {
        titles.push_back(question.title);
        return question.save ? m_dir.File("offline") : saved;
    });
    page->SaveFile();
    ASSERT_TRUE(wxFileExists(saved));
    EXPECT_NE(std::string::npos, m_dir.Read("offline.xml").find("CommandName=\"KBWCTY\" Value=\"2\""));
    EXPECT_TRUE(m_messages.Texts().empty());
    country->SetValue("3");
    m_messages.Answer(wxNO);
    page->SaveFile();
    EXPECT_EQ(std::vector<wxString>{"The file already exists. Replace it?\r\n" + saved}, m_messages.Texts());
    EXPECT_NE(std::string::npos, m_dir.Read("offline.xml").find("CommandName=\"KBWCTY\" Value=\"2\""));

    page->RestoreDefaults();
    EXPECT_EQ(country->Default, country->Value);
    page->OpenFile();
    EXPECT_EQ("2", country->Value);
    const auto& pending = CPendingChangeList::GetInstance().GetEntries();
    EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), country));
    // No scanner has been connected in this run: every setting of the file counts as
    // one the firmware does not support, and is applied all the same.
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[1].StartsWith("Settings of the file that this scanner's firmware does not support: "))
        << m_messages.Texts()[1];
    EXPECT_EQ((std::vector<wxString>{"Save", "Save", "Open"}), titles) << "dialog titles from the text table";

    // A file that cannot be read is said so and changes nothing.
    const std::vector<CCmdNameXmlInfo*> before = pending;
    m_dir.Write("garbage.xml", std::string("\x89PNG\r\n\x1a\n\0\xff garbage", 17));
    SetFileChooser([&](const SFileQuestion&) { return m_dir.File("garbage.xml"); });
    page->OpenFile();
    ASSERT_EQ(3u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[2].StartsWith("The configuration file could not be opened.\r\nit is no well-formed XML"))
        << m_messages.Texts()[2];
    EXPECT_EQ(before, pending);

    // Choosing another top tab opens its row on its first page.
    CTabCreate* tabs = page->GetSettingsArea()->GetTabs();
    CTabNodeXmlInfo* scanning = page->GetSettingsArea()->GetTabRoot()->GetChildren()[1].get();
    ASSERT_EQ("2.SCANNING", scanning->name);
    tabs->Select(scanning);
    ASSERT_NE(nullptr, tabs->GetSelected());
    EXPECT_EQ(scanning, tabs->GetSelected()->Parent);
    ASSERT_NE(nullptr, page->GetSettingsArea()->GetCurrentPage());
    EXPECT_EQ("Scanning", page->GetSettingsArea()->GetCurrentPage()->GetPage()->Name);
}

TEST_F(ConfigPageTest, AChangeWrittenToTheScannerIsReadBackSnapshottedAndLeavesNothingPending)
{
    ASSERT_TRUE(Connect("HBS-HS620"));
    CCfgMainDlg* page = OpenPage(true);
    wxButton* write = page->GetButton(CCfgMainDlg::ID_SAVE_DEVICE);
    EXPECT_TRUE(write->IsShown());

    // A value far beyond the scanner's range is refused with NAK: the message names
    // the setting and the change stays pending.
    CCmdNameXmlInfo* delay = Setting("KBWDLY");
    ASSERT_NE(nullptr, delay);
    delay->SetValue("99999999");
    Press(write);
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[0].Find("[KBWDLY] " + delay->GetFriendlyText() +
                                                      " \"99999999\": refused by the scanner"))
        << m_messages.Texts()[0];
    EXPECT_EQ(std::vector<CCmdNameXmlInfo*>{delay}, CPendingChangeList::GetInstance().GetEntries());
    delay->SetValue(delay->DeviceValue);
    CCmdNameXmlInfo* country = Setting("KBWCTY");
    ASSERT_NE(nullptr, country);
    const wxString changed = country->Value == "3" ? "4" : "3";
    country->SetValue(changed);
    EXPECT_EQ(1u, CPendingChangeList::GetInstance().GetEntries().size());
    ASSERT_TRUE(page->ShowSetting(country));

    // Each exchange is work of the wait dialog; what each one left behind:
    // snapshots in "tmp" and whether the file saved by the user exists.
    const wxString saved = m_dir.File("online.xml");
    std::vector<std::pair<size_t, bool>> afterWork;
    CWaitDlg::SetWorkRunner([&](const std::function<bool()>& work) {
        const bool result = RunOnLine(work);
        wxArrayString files;
        if (wxDirExists(m_dir.File("tmp")))
            wxDir::GetAllFiles(m_dir.File("tmp"), &files, "HBS-HS620_*.xml");
        afterWork.emplace_back(files.size(), wxFileExists(saved));
        return result;
    });
    Press(write);
    using SWork = std::pair<size_t, bool>;
    EXPECT_EQ((std::vector<SWork>{{0u, false}, {1u, false}}), afterWork) << "the write, then the snapshot's full read";
    SetFileChooser([&](const SFileQuestion&) { return saved; });
    page->SaveFile();
    EXPECT_EQ((std::vector<SWork>{{0u, false}, {1u, false}, {1u, true}}), afterWork) << "the saved file's full read";
    ASSERT_FALSE(m_messages.Texts().empty());
    EXPECT_EQ("Saved.", m_messages.Texts().back()) << "the English text of ID_SAVE_OK";
    EXPECT_TRUE(CPendingChangeList::GetInstance().GetEntries().empty());
    EXPECT_EQ(changed, country->DeviceValue);
    wxString answer;
    ASSERT_TRUE(RunOnLine([&answer] { return CSaveCfg::QueryCommand("KBWCTY", "*", answer); }));
    EXPECT_EQ(changed, answer) << "the scanner holds the new value";

    // The scanner keeps this state as its user defaults and brings it back on request.
    page->SaveUserDefaults();
    EXPECT_EQ("User defaults saved.", m_messages.Texts().back());
    page->LoadUserDefaults();
    EXPECT_EQ("User defaults loaded.", m_messages.Texts().back());
    EXPECT_EQ(changed, country->Value);
}

// The value read back after a write goes into the settings' widgets; a button's
// label is its caption and stays so, on every page already built.
TEST_F(ConfigPageTest, ADataFormatBuiltInTheEditorIsWrittenAndReadBackAndButtonsKeepTheirCaptions)
{
    ASSERT_TRUE(Connect("HBS-HI880"));
    CCfgMainDlg* page = OpenPage(true);
    for (const auto& [name, shown] : CPageMntXmlInfo::GetInstance().GetPages()) {
        if (!shown->GetGroups().empty() && !shown->GetGroups().front()->GetCommands().empty())
            page->ShowSetting(shown->GetGroups().front()->GetCommands().front().get());
    }
    std::map<CCmdNameXmlInfo*, wxString> captions;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) {
        if (auto* button = definition.Control ? dynamic_cast<wxButton*>(definition.Control->GetValueWnd()) : nullptr)
            captions[&definition] = button->GetLabel();
    });
    ASSERT_GE(captions.size(), 5u);
    for (const auto& [definition, caption] : captions)
        EXPECT_FALSE(caption.empty()) << definition->CommandName;

    CCmdNameXmlInfo* formats = Setting("DFMSET");
    ASSERT_NE(nullptr, formats);
    ASSERT_TRUE(page->ShowSetting(formats));
    auto* panel = static_cast<CDataFormatControl*>(formats->Control)->GetPanel();
    ASSERT_EQ(4u, panel->GetUnits().size());
    // The editor's way to this rule text is its own test's matter; here it is what OK hands the row.
    ASSERT_TRUE(panel->GetUnits()[2]->CommitRules("F82DF501F10DB3"));
    const wxString value = "Data Format 0:;\r\nData Format 1:;\r\nData Format 2:269999999999F82DF501F10DB3;\r\n"
                           "Data Format 3:;\r\n";
    EXPECT_EQ(value, formats->Value);
    EXPECT_EQ(std::vector<CCmdNameXmlInfo*>{formats}, CPendingChangeList::GetInstance().GetEntries());

    CWaitDlg::SetWorkRunner(RunOnLine);
    Press(page->GetButton(CCfgMainDlg::ID_SAVE_DEVICE));
    EXPECT_EQ("Saved.", m_messages.Texts().back());
    EXPECT_TRUE(CPendingChangeList::GetInstance().GetEntries().empty());
    EXPECT_EQ(value, formats->DeviceValue);
    wxString answer;
    ASSERT_TRUE(RunOnLine([&answer] { return CSaveCfg::QueryCommand("DFMQCU", "", answer, "@"); }));
    EXPECT_EQ(value, answer) << "the scanner holds the format";
    EXPECT_EQ("F82DF501F10DB3", panel->GetUnits()[2]->GetRules());

    page->RestoreDefaults();
    for (const auto& [definition, caption] : captions) {
        page->ShowSetting(definition);
        EXPECT_EQ(caption, static_cast<wxButton*>(definition->Control->GetValueWnd())->GetLabel())
            << definition->CommandName;
    }
}

TEST(SettingSearchTest, EveryWordMustBeInTheNameOrTheCaption)
{
    const struct {
        const char* query;
        bool found;
    } cases[] = {
        {"baud", true},       {"BAUD RATE", true}, {"232", true},      {"232 rate", true},
        {"rate parity", false}, {"  ", false},     {"232bad", true},   {"odd", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.found, CCmdSearchDlg::Matches(c.query, "232BAD", "Baud rate")) << c.query;
}

// Find setting lists lower-case words' matches and shows the chosen one on its page.
// From the keyboard: Down and Up only move the mark, Enter chooses what is marked or
// the single match, Escape closes; no key changes a setting.
TEST_F(ConfigPageTest, FindSettingShowsTheChosenSettingAndIsDrivenByKeysChoosingOnlyWithEnter)
{
    UseModel("HBS-HS620");
    CCfgMainDlg* page = OpenPage(false);
    CCmdSearchDlg* onPage = CCmdSearchDlg::ShowSearchBox(m_frame, page);
    onPage->GetField()->SetValue("  kbw ");
    ASSERT_FALSE(onPage->GetFound().empty());
    for (const CCmdNameXmlInfo* found : onPage->GetFound())
        EXPECT_NE(wxNOT_FOUND, found->CommandName.Find("KBW")) << found->CommandName;
    EXPECT_TRUE(onPage->GetResults()->GetString(0).EndsWith(")"));
    EXPECT_NE(wxNOT_FOUND, onPage->GetResults()->GetString(0).Find("(KBW")) << "the command name comes last";
    onPage->GetField()->SetValue("   ");
    EXPECT_FALSE(onPage->GetFound().empty()) << "an empty text leaves the list";
    const CCmdNameXmlInfo* shownSetting = onPage->GetFound().back();
    onPage->ChooseResult(static_cast<int>(onPage->GetFound().size()) - 1);
    wxYield();
    ASSERT_NE(nullptr, page->GetSettingsArea()->GetCurrentPage());
    EXPECT_EQ(shownSetting->OwnerPage, page->GetSettingsArea()->GetCurrentPage()->GetPage());
    EXPECT_NE(nullptr, shownSetting->Control);

    std::vector<const CCmdNameXmlInfo*> chosen;
    auto* target = new wxWindow(m_frame, wxID_ANY);
    target->Bind(EVT_VOSTREL_SHOW_SETTING, [&chosen](wxCommandEvent& event) {
        chosen.push_back(static_cast<const CCmdNameXmlInfo*>(event.GetClientData()));
    });
    CCmdSearchDlg* search = CCmdSearchDlg::ShowSearchBox(m_frame, target);
    const wxWindow* box = wxGetTopLevelParent(search);
    const auto press = [search](int code) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = code;
        search->GetField()->GetEventHandler()->ProcessEvent(key);
        wxYield();
    };
    search->GetField()->SetValue("kbw");
    ASSERT_GT(search->GetFound().size(), 2u);
    const struct {
        int key;
        int marked;
        bool shown;
        size_t chosen;
    } steps[] = {{WXK_DOWN, 0, true, 0}, {WXK_DOWN, 1, true, 0}, {WXK_UP, 0, true, 0}, {WXK_UP, 0, true, 0},
                 {WXK_RETURN, 0, false, 1}};
    for (const auto& step : steps) {
        press(step.key);
        EXPECT_EQ(step.marked, search->GetResults()->GetSelection()) << step.key;
        EXPECT_EQ(step.shown, box->IsShown()) << step.key;
        ASSERT_EQ(step.chosen, chosen.size()) << step.key;
    }
    EXPECT_EQ(search->GetFound()[0], chosen[0]);

    std::vector<wxString> names;
    for (const CCmdNameXmlInfo* found : search->GetFound())
        names.push_back(found->CommandName);
    CCmdSearchDlg::ShowSearchBox(m_frame, target);
    wxString only;
    for (const wxString& name : names) {  // a command listed on one page only
        search->GetField()->SetValue(name);
        if (search->GetFound().size() == 1u) {
            only = name;
            break;
        }
    }
    ASSERT_FALSE(only.empty());
    press(WXK_RETURN);
    ASSERT_EQ(2u, chosen.size());
    EXPECT_EQ(only, chosen[1]->CommandName);

    CCmdSearchDlg::ShowSearchBox(m_frame, target);
    wxYield();  // on screen before a key can reach it
    press(WXK_ESCAPE);
    EXPECT_FALSE(box->IsShown());
    EXPECT_EQ(2u, chosen.size());
    EXPECT_TRUE(CPendingChangeList::GetInstance().GetEntries().empty());
    target->Destroy();
}

}  // namespace
