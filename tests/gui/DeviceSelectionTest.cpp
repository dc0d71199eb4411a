// The main window's ways to a configuration: connected scanners, the model catalogue, files.
#include "app/AppContext.h"
#include "config/gui/UndoDlg.h"
#include "config/gui/UndoListBox.h"
#include "config/SaveCfg.h"
#include "demo/DemoScanner.h"
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "model/CmdNameXmlInfo.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/GroupNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "model/PageXmlInfo.h"
#include "model/TabNodeXmlInfo.h"
#include "pages/CfgMainDlg.h"
#include "pages/CfgTitleDlg.h"
#include "pages/CmdSearchDlg.h"
#include "pages/PageDlg.h"
#include "pages/TabCreate.h"
#include "shell/DeviceOnLineDlg.h"
#include "shell/DeviceOutLineDlg.h"
#include "shell/MainWindowEvents.h"
#include "shell/StallWatch.h"
#include "shell/VostrelDlg.h"
#include "UI/gui/WaitDlg.h"

#include "GuiTestSupport.h"

#include <wx/app.h>
#include <wx/timer.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <stdexcept>

namespace {

const wxString kGetError = wxString::FromUTF8("获取设备参数失败!");
const wxString kExitQuestion = wxString::FromUTF8("设备参数改变，需要保存到设备吗？");

class DeviceSelectionTest : public MainWindowFixture {
protected:
    void Start(const char* language)
    {
        ASSERT_TRUE(MainWindowFixture::Start(std::string("[cfg]\nlang=") + language + "\n"));
    }

    void Navigate(int request, void* argument = nullptr)
    {
        PostNavigateRequest(m_window, request, argument);
        wxTheApp->ProcessPendingEvents();
        WaitForScannerList();
    }

    // The list of connected scanners searches in the background; this waits for it.
    void WaitForScannerList()
    {
        EXPECT_TRUE(RunUntil(
            [this] {
                CDeviceOnLineDlg* page = m_window ? m_window->GetOnlinePage() : nullptr;
                return !page || !page->IsRefreshing();
            },
            20));
    }

    static void Click(wxWindow* button)
    {
        Press(button);
        wxTheApp->ProcessPendingEvents();
    }

    void PressCtrlF()
    {
        SendKey(m_window, 'F', true);
        wxTheApp->ProcessPendingEvents();
    }

    // Started in `language` with one `model` plugged in: the page of connected
    // scanners, when it lists that one.
    CDeviceOnLineDlg* ListPlugged(const char* language, const char* model)
    {
        Start(language);
        Plug(model);
        Navigate(NAVIGATE_ONLINE);
        CDeviceOnLineDlg* page = m_window->GetOnlinePage();
        EXPECT_TRUE(page && page->GetEntries().size() == 1u);
        return page && page->GetEntries().size() == 1u ? page : nullptr;
    }

    // Has the offline page open the configuration file `name` holding `content`.
    void OpenFile(CDeviceOutLineDlg* page, const char* name, const char* content)
    {
        m_dir.Write(name, content);
        CDeviceOutLineDlg::SetFileChooser([this, name](wxWindow*) { return m_dir.File(name); });
        page->ChooseConfigurationFile();
    }
};

TEST_F(DeviceSelectionTest, AListedScannerIsReadAndItsSettingsShownOnline)
{
    CDeviceOnLineDlg* page = ListPlugged("EN", "HBS-EM20");
    ASSERT_NE(nullptr, page);
    ASSERT_EQ(CVostrelDlg::MODE_ONLINE, m_window->GetMode());
    EXPECT_TRUE(page->GetDeviceList()->GetItemText(0).StartsWith("HBS-EM20\n")) << page->GetDeviceList()->GetItemText(0);
    EXPECT_FALSE(page->GetConfigureButton()->IsEnabled());

    page->SelectEntry(0);
    EXPECT_NE(wxNOT_FOUND, page->GetInfoBox()->GetValue().Find("Firmware: V1.00.001"));
    EXPECT_TRUE(page->GetConfigureButton()->IsEnabled());

    CAppContext::GetInstance().SetCommandLineFiles(m_dir.File("read.txt"), wxString());
    Click(page->GetConfigureButton());

    // This product is better served by another tool; English users are told so first.
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[0].Find("Qcon"));
    EXPECT_EQ(CVostrelDlg::MODE_CONFIG_ONLINE, m_window->GetMode());
    CCfgMainDlg* settings = m_window->GetConfigPage();
    ASSERT_NE(nullptr, settings);
    EXPECT_TRUE(settings->IsOnline());
    EXPECT_TRUE(CHBDataStreamMnt::GetInstance().IsOpen());
    ASSERT_NE(nullptr, CSaveCfg::GetInstance().GetCurrentModel());
    EXPECT_EQ("EM20.xml", CSaveCfg::GetInstance().GetCurrentModel()->m_link);
    EXPECT_NE(nullptr, CDeviceCmdNameMntXmlInfo::GetInstance().Find("SCNMOD"));
    EXPECT_NE(std::string::npos, m_dir.Read("read.txt").find("SCNMOD    ")) << "the -File copy of what was read";
    EXPECT_TRUE(m_window->GetNavigationButton(CVostrelDlg::ITEM_CONFIG_ONLINE)->IsShown());
    EXPECT_FALSE(m_window->GetNavigationButton(CVostrelDlg::ITEM_CONFIG_OFFLINE)->IsShown());

    // The page already shown stays as it is; leaving it destroys it.
    m_window->SelectItem(CVostrelDlg::ITEM_CONFIG_ONLINE);
    EXPECT_EQ(settings, m_window->GetConfigPage());
    m_window->SelectItem(CVostrelDlg::ITEM_HOME);
    EXPECT_EQ(nullptr, m_window->GetConfigPage());
    EXPECT_EQ(CVostrelDlg::MODE_HOME, m_window->GetMode());
    EXPECT_FALSE(m_window->GetNavigationButton(CVostrelDlg::ITEM_CONFIG_ONLINE)->IsShown());
}

TEST_F(DeviceSelectionTest, AScannerGoneBeforeItIsReadIsReportedAndTheListShownAgain)
{
    CDeviceOnLineDlg* page = ListPlugged("CN", "HBS-EM20");
    ASSERT_NE(nullptr, page);
    DetachDemoScanner(m_ports.back());
    m_ports.clear();

    page->SelectEntry(0);
    Click(page->GetConfigureButton());
    // No recommendation in Chinese; only the failure.
    EXPECT_EQ(std::vector<wxString>{kGetError}, m_messages.Texts());
    EXPECT_EQ(CVostrelDlg::MODE_ONLINE, m_window->GetMode());
    EXPECT_EQ(page, m_window->GetCurrentPage());
    EXPECT_EQ(nullptr, m_window->GetConfigPage());
    EXPECT_FALSE(CSaveCfg::GetInstance().IsOnline());
    EXPECT_FALSE(CHBDataStreamMnt::GetInstance().IsOpen());
}

TEST_F(DeviceSelectionTest, ASecondConfigureWhileTheFirstIsReadingWaitsForIt)
{
    CDeviceOnLineDlg* page = ListPlugged("CN", "HBS-HS620");
    ASSERT_NE(nullptr, page);
    DeviceEntry* entry = page->GetEntries()[0];

    // A double click and a press of configure in quick succession.
    PostNavigateRequest(m_window, NAVIGATE_CONNECT, entry);
    PostNavigateRequest(m_window, NAVIGATE_CONNECT, entry);
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessPendingEvents();

    EXPECT_TRUE(m_messages.Texts().empty());
    EXPECT_EQ(CVostrelDlg::MODE_CONFIG_ONLINE, m_window->GetMode());
    ASSERT_NE(nullptr, m_window->GetConfigPage());
    EXPECT_EQ(m_window->GetConfigPage(), m_window->GetCurrentPage());
    EXPECT_TRUE(CSaveCfg::GetInstance().IsOnline());
    // The title and the page name the scanner and where it hangs.
    const wxString edited = "HBS-HS620" + wxString::FromUTF8("，端口 ") + PortPathOf(*entry);
    EXPECT_EQ(edited, m_window->GetConfigPage()->GetEditedScanner());
    EXPECT_EQ("Vostrel V1.0.0.B5" + wxString::FromUTF8(" \u2014 ") + edited, m_window->GetTitle());
    m_window->SelectItem(CVostrelDlg::ITEM_HOME);  // leaving the page ends the work with the scanner
    EXPECT_TRUE(m_window->GetTitle().StartsWith("Vostrel V")) << "nothing is edited any more";
}

TEST_F(DeviceSelectionTest, ACatalogueModelIsConfiguredOfflineFromItsCommandFile)
{
    Start("EN");
    int searchBoxes = 0;
    m_window->SetCommandSearchHandler([&searchBoxes] { ++searchBoxes; });
    Navigate(NAVIGATE_OFFLINE);
    ASSERT_EQ(CVostrelDlg::MODE_OFFLINE, m_window->GetMode());
    CDeviceOutLineDlg* page = m_window->GetOfflinePage();
    ASSERT_NE(nullptr, page);
    ASSERT_EQ(2u, page->GetCategoryList()->GetCount());
    EXPECT_EQ(3u, page->GetShownModels().size());
    PressCtrlF();
    EXPECT_EQ(0, searchBoxes) << "no command search outside a configuration";

    page->GetSearchField()->SetValue("fm4");
    ASSERT_EQ(1u, page->GetShownModels().size());
    EXPECT_EQ("HBS-FM450", page->GetModelList()->GetItemText(0));
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, page->GetModelList()->GetId());  // a double click
    activate.SetIndex(0);
    page->GetModelList()->GetEventHandler()->ProcessEvent(activate);
    wxTheApp->ProcessPendingEvents();

    EXPECT_TRUE(m_messages.Texts().empty());
    EXPECT_EQ(CVostrelDlg::MODE_CONFIG_OFFLINE, m_window->GetMode());
    ASSERT_NE(nullptr, m_window->GetConfigPage());
    EXPECT_FALSE(m_window->GetConfigPage()->IsOnline());
    CSaveCfg& engine = CSaveCfg::GetInstance();
    EXPECT_FALSE(engine.IsOnline());
    ASSERT_NE(nullptr, engine.GetCurrentModel());
    EXPECT_EQ("HBS-FM450", engine.GetCurrentModel()->m_key);
    EXPECT_EQ("SETUPN", engine.GetSetupCommand());
    EXPECT_NE(nullptr, CDeviceCmdNameMntXmlInfo::GetInstance().Find("SCNMOD"));
    EXPECT_TRUE(m_window->GetNavigationButton(CVostrelDlg::ITEM_CONFIG_OFFLINE)->IsShown());
    EXPECT_EQ("Vostrel V1.0.0.B5" + wxString::FromUTF8(" \u2014 ") + "HBS-FM450 (offline)", m_window->GetTitle());

    PressCtrlF();
    EXPECT_EQ(1, searchBoxes);
    CCmdSearchDlg* search = CCmdSearchDlg::ShowSearchBox(m_window, m_window->GetConfigPage());
    m_window->SelectItem(CVostrelDlg::ITEM_HOME);
    EXPECT_FALSE(wxGetTopLevelParent(search)->IsShown()) << "the search box went with the settings page";

    // A new catalogue page reloads the catalogue; the engine's model must survive it.
    Navigate(NAVIGATE_OFFLINE);
    ASSERT_NE(nullptr, engine.GetCurrentModel());
    EXPECT_EQ("FM450.xml", engine.GetCurrentModel()->m_link);
}

// Every settings page built, then home: the page leaves the screen at once and is
// taken apart a page at a time, the windows answering throughout; a model chosen
// again before it is all gone finds the settings free.
TEST_F(DeviceSelectionTest, LeavingSettingsWithEveryPageBuiltNeverHoldsTheWindows)
{
    Start("EN");
    Navigate(NAVIGATE_OFFLINE);
    CDeviceInfo* model = nullptr;
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories())
        model = model ? model : category->FindByProductName("HBS-FM450");
    ASSERT_NE(nullptr, model);
    Navigate(NAVIGATE_CONFIGURE_MODEL, model);
    ASSERT_NE(nullptr, m_window->GetConfigPage());
    CCfgTitleDlg* settings = m_window->GetConfigPage()->GetSettingsArea();
    std::vector<CTabNodeXmlInfo*> leaves;
    std::function<void(CTabNodeXmlInfo*)> collect = [&](CTabNodeXmlInfo* node) {
        if (CTabCreate::IsLeaf(node))
            leaves.push_back(node);
        for (const auto& child : node->GetChildren())
            collect(child.get());
    };
    collect(settings->GetTabRoot());
    ASSERT_GT(leaves.size(), 5u);
    for (CTabNodeXmlInfo* leaf : leaves) {
        settings->GetTabs()->Select(leaf);
        CPageDlg* shown = settings->GetCurrentPage();
        ASSERT_TRUE(shown && RunUntil([shown] { return shown->AreControlsBuilt(); }, 10)) << leaf->name;
    }
    const auto anyControl = [] {
        bool any = false;
        CPageMntXmlInfo::GetInstance().ForEachCommand([&any](CCmdNameXmlInfo& setting) { any = any || setting.Control; });
        return any;
    };
    ASSERT_TRUE(anyControl());

    for (const bool waitForTheEnd : {true, false}) {
        CStallWatch watch;
        m_window->SelectItem(CVostrelDlg::ITEM_HOME);
        EXPECT_EQ(nullptr, m_window->GetConfigPage());
        EXPECT_EQ(CVostrelDlg::MODE_HOME, m_window->GetMode());
        if (waitForTheEnd) {
            EXPECT_TRUE(RunUntil([&] { return !anyControl(); }, 10));
            EXPECT_LT(watch.LongestMs(), 250) << watch.LongestWhat();
        }
        Navigate(NAVIGATE_CONFIGURE_MODEL, model);
        ASSERT_NE(nullptr, m_window->GetConfigPage());
        CPageDlg* first = m_window->GetConfigPage()->GetSettingsArea()->GetCurrentPage();
        ASSERT_TRUE(first && RunUntil([first] { return first->AreControlsBuilt(); }, 10));
        EXPECT_TRUE(anyControl());
    }
}

TEST_F(DeviceSelectionTest, AConfigurationFileOpensTheModelItWasWrittenFor)
{
    Start("CN");
    Navigate(NAVIGATE_OFFLINE);
    CDeviceOutLineDlg* page = m_window->GetOfflinePage();
    ASSERT_NE(nullptr, page);
    CSaveCfg& engine = CSaveCfg::GetInstance();

    OpenFile(page, "broken.xml", "<Vostrel DeviceType=\"HBS-FM300\"><Command");
    // The same words as the configuration page's Open: what failed, then why.
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[0].StartsWith(wxString::FromUTF8("打开配置文件失败!\r\nit is no well-formed XML")))
        << m_messages.Texts()[0];

    OpenFile(page, "other.xml", "<Vostrel DeviceType=\"HBS-ZX900\"><Command CommandName=\"SCNMOD\" Value=\"2\"/></Vostrel>");
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_EQ(wxString::FromUTF8("配置文件中的设备型号不在设备列表中!"), m_messages.Texts()[1]);
    EXPECT_TRUE(engine.GetValueMap().empty());
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(CVostrelDlg::MODE_OFFLINE, m_window->GetMode());

    // A scanner reports more than its catalogue key; the longest matching key wins.
    OpenFile(page, "fm300.xml",
             "<Vostrel DeviceType=\"HBS-FM300-V2\"><Command CommandName=\"232BAD\" Value=\"7\"/><Command CommandName="
             "\"232FLW\" Value=\"1\"/><Command CommandName=\"KBWPOR\" Value=\"4\"/></Vostrel>");
    EXPECT_EQ(2u, m_messages.Texts().size());
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(CVostrelDlg::MODE_CONFIG_OFFLINE, m_window->GetMode());
    ASSERT_NE(nullptr, engine.GetCurrentModel());
    EXPECT_EQ("HBS-FM300", engine.GetCurrentModel()->m_key);

    // The file's values are on the first page and pending, not the model's defaults.
    ASSERT_NE(nullptr, m_window->GetConfigPage());
    CPageDlg* first = m_window->GetConfigPage()->GetSettingsArea()->GetCurrentPage();
    ASSERT_TRUE(first && RunUntil([first] { return first->AreControlsBuilt(); }, 10));
    const CUndoListBox* history = m_window->GetConfigPage()->GetHistory()->GetListBox();
    ASSERT_EQ(3u, history->GetItemCount());
    const struct {
        const char* name;
        const char* shownEntry;
    } loaded[] = {{"KBWPOR", "4"}, {"232BAD", "115200"}, {"232FLW", "RTS/CTS"}};
    for (size_t i = 0; i < std::size(loaded); ++i) {
        const CCmdNameXmlInfo* setting = CPageMntXmlInfo::GetInstance().FindCommand(loaded[i].name);
        ASSERT_TRUE(setting && setting->Control) << loaded[i].name;
        const auto* choice = dynamic_cast<wxChoice*>(setting->Control->GetValueWnd());
        ASSERT_NE(nullptr, choice) << loaded[i].name;
        EXPECT_EQ(loaded[i].shownEntry, choice->GetStringSelection()) << loaded[i].name;
        EXPECT_EQ(setting, history->GetEntry(i)) << loaded[i].name;
    }

    // Offline the changes would go with the page: leaving asks as online does.
    const size_t before = m_messages.Texts().size();
    m_messages.Answer(wxCANCEL);
    m_window->SelectItem(CVostrelDlg::ITEM_HOME);
    ASSERT_EQ(before + 1, m_messages.Texts().size());
    EXPECT_EQ(wxString::FromUTF8("设置已修改但未保存，需要保存到文件吗？"), m_messages.Texts().back());
    EXPECT_EQ(m_window->GetConfigPage(), m_window->GetCurrentPage());
    EXPECT_EQ(3u, CPendingChangeList::GetInstance().GetEntries().size());
    m_messages.Answer(wxCANCEL);
    EXPECT_FALSE(m_window->Close()) << "closing the program asks the same";
    EXPECT_EQ(before + 2, m_messages.Texts().size());
    m_messages.Answer(wxNO);
    m_window->SelectItem(CVostrelDlg::ITEM_HOME);
    EXPECT_EQ(CVostrelDlg::MODE_HOME, m_window->GetMode());
    EXPECT_TRUE(CPendingChangeList::GetInstance().GetEntries().empty());
}

TEST_F(DeviceSelectionTest, WithoutACatalogueTheModelPageSaysSoAndTheListStaysEmpty)
{
    Start("CN");
    Plug("HBS-HS620");
    std::filesystem::remove(std::string(m_dir.File("Config/devicesinfo.xml").utf8_str()));
    CDeviceMnt::ResetInstance();
    Navigate(NAVIGATE_OFFLINE);
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("导入配置文件失败!")}, m_messages.Texts());
    EXPECT_EQ(nullptr, m_window->GetOfflinePage());
    EXPECT_EQ(CVostrelDlg::MODE_HOME, m_window->GetMode());

    Navigate(NAVIGATE_ONLINE);
    ASSERT_NE(nullptr, m_window->GetOnlinePage());
    EXPECT_TRUE(m_window->GetOnlinePage()->GetEntries().empty());
    EXPECT_EQ(0, m_window->GetOnlinePage()->GetDeviceList()->GetItemCount());

    // With the file back, entering the list from the navigation bar reads it and lists anew.
    std::filesystem::copy_file(VOSTREL_DATA_DIR "/Config/devicesinfo.xml",
                               std::string(m_dir.File("Config/devicesinfo.xml").utf8_str()));
    m_window->SelectItem(CVostrelDlg::ITEM_HOME);
    Click(m_window->GetNavigationButton(CVostrelDlg::ITEM_ONLINE));
    WaitForScannerList();
    EXPECT_EQ(m_window->GetOnlinePage(), m_window->GetCurrentPage());
    EXPECT_EQ(1u, m_window->GetOnlinePage()->GetEntries().size());
}

TEST_F(DeviceSelectionTest, ClosingWithChangesAsksAndOnlyNoOrAWrittenYesLetsTheWindowGo)
{
    ASSERT_NE(nullptr, ListPlugged("CN", "HBS-HS620"));
    CCmdNameXmlInfo change;
    change.CommandName = "SCNMOD";
    CPendingChangeList& history = CPendingChangeList::GetInstance();
    history.AddChange(&change);

    // Yes while no scanner is open: the write fails, the window and the change stay.
    m_messages.Answer(wxYES);
    EXPECT_FALSE(m_window->Close());
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_EQ(kExitQuestion, m_messages.Texts()[0]);
    EXPECT_EQ(wxYES_NO | wxCANCEL | wxICON_WARNING, m_messages.Styles()[0]);
    EXPECT_EQ(0, m_messages.Texts()[1].Find(wxString::FromUTF8("保存失败")));
    EXPECT_EQ(1u, history.GetEntries().size());

    // A scanner opened by a page other than the settings page, as the command page does.
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    DeviceEntry* entry = m_window->GetOnlinePage()->GetEntries().at(0);
    ASSERT_TRUE(RunOnLine([&link, entry] { return link.OpenDevice(entry); }));
    m_messages.Answer(wxCANCEL);
    EXPECT_FALSE(m_window->Close());
    EXPECT_EQ(3u, m_messages.Texts().size());
    EXPECT_EQ(1u, history.GetEntries().size());

    m_messages.Answer(wxNO);
    EXPECT_TRUE(m_window->Close());
    EXPECT_EQ(4u, m_messages.Texts().size());
    EXPECT_TRUE(history.GetEntries().empty());
    wxTheApp->ProcessIdle();
    m_window = nullptr;
    EXPECT_FALSE(link.IsOpen()) << "the window takes the link down with it";
}

// The wait window on its own: its result is the task's, whenever the task ends.
TEST(DeviceSelectionWaitDlg, EndsWithTheTaskResultAndKeepsTheWindowsAlive)
{
    EXPECT_TRUE(CWaitDlg::Run(nullptr, [] { return true; }));
    EXPECT_FALSE(CWaitDlg::Run(nullptr, [] { return false; }));
    EXPECT_FALSE(CWaitDlg::Run(nullptr, []() -> bool { throw std::runtime_error("broken task"); }));
    EXPECT_FALSE(CWaitDlg::Run(nullptr, CWaitDlg::Task()));

    // A task that ends only once the UI thread has served its timer a few times: with
    // the windows held, it would run into its deadline and fail.
    std::mutex mutex;
    std::condition_variable ticked;
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        std::lock_guard<std::mutex> lock(mutex);
        ++ticks;
        ticked.notify_all();
    });
    timer.Start(10);
    const bool result = CWaitDlg::Run(nullptr, [&] {
        std::unique_lock<std::mutex> lock(mutex);
        return ticked.wait_for(lock, std::chrono::seconds(20), [&ticks] { return ticks > 5; });
    });
    timer.Stop();
    EXPECT_TRUE(result) << ticks << " timer ticks served while the task ran";
}

// The round a user makes: connect, change a setting, and close the window, which
// writes it to the scanner.
TEST_F(DeviceSelectionTest, AChangeIsWrittenWhenTheWindowClosesWithYes)
{
    CDeviceOnLineDlg* page = ListPlugged("EN", "HBS-HS620");
    ASSERT_NE(nullptr, page);
    page->SelectEntry(0);
    Click(page->GetConfigureButton());
    ASSERT_NE(nullptr, m_window->GetConfigPage());
    CCmdNameXmlInfo* country = CPageMntXmlInfo::GetInstance().FindCommand("KBWCTY");
    ASSERT_NE(nullptr, country);
    const wxString wanted = country->Value == "2" ? "3" : "2";

    country->SetValue(wanted, nullptr);
    const size_t messagesBefore = m_messages.Texts().size();
    m_messages.Answer(wxYES);
    int waitDialogs = 0;
    CountLineWork(waitDialogs);
    EXPECT_TRUE(m_window->Close());
    EXPECT_EQ(1, waitDialogs) << "the write runs under the wait dialog";
    ASSERT_EQ(messagesBefore + 1, m_messages.Texts().size()) << "the question, and no failure";
    EXPECT_TRUE(m_messages.Texts().back().StartsWith("Settings have changed.")) << m_messages.Texts().back();
    EXPECT_EQ(wanted, country->DeviceValue) << "the scanner took the change";
    wxTheApp->ProcessIdle();
    m_window = nullptr;
}

}  // namespace

TEST_F(DeviceSelectionTest, KnownScannersShowAtOnceWithPortAndSerialWhileTheSearchRunsBehindAndNoneSaysWhy)
{
    CDeviceOnLineDlg* page = ListPlugged("EN", "HBS-EM20");
    ASSERT_NE(nullptr, page);
    const DeviceEntry& entry = *page->GetEntries().at(0);
    const wxString label = page->GetDeviceList()->GetItemText(0);
    EXPECT_NE(wxNOT_FOUND, label.Find(PortPathOf(entry))) << label;
    EXPECT_NE(wxNOT_FOUND, label.Find(entry.serialNumber)) << label;
    EXPECT_FALSE(page->GetStateNote()->IsShown());

    // Entering the list again shows the scanner before the new search has ended.
    PostNavigateRequest(m_window, NAVIGATE_ONLINE, nullptr);
    wxTheApp->ProcessPendingEvents();
    page = m_window->GetOnlinePage();
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(page->IsRefreshing());
    EXPECT_EQ(1u, page->GetEntries().size());
    EXPECT_EQ(wxString::FromUTF8("Looking for scanners…"), page->GetStateNote()->GetLabel());
    WaitForScannerList();
    EXPECT_EQ(1u, page->GetEntries().size());

    for (uint32_t port : m_ports)
        DetachDemoScanner(port);
    m_ports.clear();
    Click(page->GetRefreshButton());
    WaitForScannerList();
    EXPECT_TRUE(page->GetEntries().empty());
    EXPECT_EQ(0, page->GetDeviceList()->GetItemCount());
    const wxString note = page->GetStateNote()->GetLabel();
    EXPECT_TRUE(note.StartsWith("No scanner found.")) << note;
    for (const char* cause : {"dialout", "udev", "keyboard mode"})
        EXPECT_NE(wxNOT_FOUND, note.Find(cause)) << cause;
}
