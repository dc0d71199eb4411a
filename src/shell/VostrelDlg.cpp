#include "VostrelDlg.h"

#include "DeviceOnLineDlg.h"
#include "DeviceOutLineDlg.h"
#include "MainDlg.h"
#include "MainWindowEvents.h"
#include "Mnemonics.h"
#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/LanguageXmlInfo.h"
#include "app/Log.h"
#include "app/StartupRules.h"
#include "app/UiText.h"
#include "cmdcenter/gui/CmdDlg.h"
#include "config/ConnectSequence.h"
#include "config/gui/UndoDlg.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "config/WriteFailureText.h"
#include "device/DeviceEntry.h"
#include "device/DeviceMnt.h"
#include "device/gui/UpgradeDialogs.h"
#include "device/HBDataStreamMnt.h"
#include "pages/CfgMainDlg.h"
#include "pages/CfgTitleDlg.h"
#include "pages/CmdSearchDlg.h"
#include "regCtrl/object/ControlMnt.h"
#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/WaitDlg.h"
#include "update/gui/UpdateEntry.h"

#include <wx/display.h>
#include <wx/fontenum.h>
#include <wx/log.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/tokenzr.h>

#include <initializer_list>

wxDEFINE_EVENT(EVT_VOSTREL_NAVIGATE, wxCommandEvent);
wxDEFINE_EVENT(EVT_VOSTREL_TEXTS_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(EVT_VOSTREL_SELECT_ITEM, wxCommandEvent);

namespace {

// The message-box language of Simplified Chinese, whose users know the maker's tools.
const int kChineseLanguageId = 2052;
// barcodeFlags above the model kind: this value marks products better served by Qcon.
const int32_t kQconProductFlag = 16;

// A navigate request carries a pointer that was valid when it was posted; one that
// the link manager no longer lists is refused rather than followed.
DeviceEntry* FindListedEntry(const void* argument)
{
    const CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    for (size_t i = 0; i < link.GetDeviceCount(); ++i) {
        if (link.GetDevice(i) == argument)
            return link.GetDevice(i);
    }
    return nullptr;
}

CDeviceInfo* FindCatalogueModel(const void* argument)
{
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
        for (const auto& [key, model] : category->GetDevices()) {
            if (model.get() == argument)
                return model.get();
        }
    }
    return nullptr;
}

}  // namespace

CVostrelDlg::CVostrelDlg() : wxFrame(nullptr, wxID_ANY, "Vostrel", wxDefaultPosition, wxSize(1100, 720))
{
    Bind(EVT_VOSTREL_NAVIGATE, &CVostrelDlg::OnNavigate, this);
    Bind(EVT_VOSTREL_TEXTS_CHANGED, &CVostrelDlg::OnTextsChanged, this);
    Bind(EVT_VOSTREL_SELECT_ITEM, &CVostrelDlg::OnSelectItem, this);
    Bind(wxEVT_CHAR_HOOK, &CVostrelDlg::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CVostrelDlg::OnClose, this);
    m_retireTimer.Bind(wxEVT_TIMER, &CVostrelDlg::OnRetireTimer, this);
    InstallPageHooks();
}

// What the configuration page needs from the window it lives in: the wait window
// for long work, the way back to the main screen, and the command search.
void CVostrelDlg::InstallPageHooks()
{
    InstallWindowControlFactory();
    CWaitDlg::SetWorkRunner([this](const std::function<bool()>& work) { return CWaitDlg::Run(this, work); });
    CCfgMainDlg::SetMainScreenRequest([this] {
        wxCommandEvent select(EVT_VOSTREL_SELECT_ITEM);
        select.SetInt(ITEM_HOME);
        wxPostEvent(this, select);
    });
    m_showCommandSearch = [this] { CCmdSearchDlg::ShowSearchBox(this, m_configPage); };
}

CVostrelDlg::~CVostrelDlg()
{
    CWaitDlg::SetWorkRunner(nullptr);
    CCfgMainDlg::SetMainScreenRequest(nullptr);
    // The configuration page may still use the engine's model, which goes with us.
    DestroyConfigurationPages();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (m_configuredModel && engine.GetCurrentModel() == m_configuredModel.get())
        engine.SetCurrentModel(nullptr);
    // The scanner connected last stays open until now; it is closed while the
    // library and the scanner behind it are certainly still there (the link waits
    // for that close when it goes, after the windows).
    CHBDataStreamMnt::GetInstance().QueueClose();
    if (m_started)
        CAppSettings::GetInstance().SaveAppSettings();
}

bool CVostrelDlg::Start(const SStartOptions& options)
{
    CAppContext& context = CAppContext::GetInstance();
    const wxRect screen = wxDisplay(0u).GetGeometry();
    context.SetScreenSize(screen.GetWidth(), screen.GetHeight());
    if (!IsScreenLargeEnough(screen.GetWidth(), screen.GetHeight())) {
        // No language is loaded yet, so this always shows the built-in text.
        ShowMessage(GetUiText("ID_ERROR_RESOLUTION", "系统显示分辨率太小，软件退出！"), wxOK | wxICON_ERROR);
        return false;
    }

    CAppSettings& settings = CAppSettings::GetInstance();
    settings.LoadAppSettings(context.GetSettingsFile("hbs.ini"));
    hbds_add_serial_path_list(settings.Values().serialPorts.utf8_str());
    m_started = true;

    if (!LoadLanguage())
        return false;
    if (options.checkSingleInstance && !AskSingleInstance())
        return false;

    ChooseFonts();
    CreateLayout();
    ApplyUiTexts();
    if (options.maximise)
        Maximize();
    Show();
    VLOG(LOG_DETAIL, "g_screenwidth=%i g_screenheight=%i", screen.GetWidth(), screen.GetHeight());
    return true;
}

bool CVostrelDlg::LoadLanguage()
{
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    const wxString failure = GetUiText("ID_INIT_ERROR_RC", "打开资源文件失败,请确认程序是否正常安装!");
    if (!languages.LoadLanguageList() || languages.GetLanguages().empty()) {
        ShowMessage(failure, wxOK | wxICON_ERROR);
        return false;
    }
    const wxString chosen = languages.ChooseStartLanguage(CAppSettings::GetInstance().Values().lang,
                                                            CLanguageXmlInfo::DesktopLocale());
    if (!languages.LoadLanguageTexts(chosen)) {
        ShowMessage(failure, wxOK | wxICON_ERROR);
        return false;
    }
    return true;
}

bool CVostrelDlg::AskSingleInstance()
{
    const CAppContext& context = CAppContext::GetInstance();
    m_instanceChecker = std::make_unique<wxSingleInstanceChecker>();
    // The lock lives in the user's state folder, which start-up has made (or replaced),
    // never in a home folder that may not exist; the question below says enough.
    wxLogNull quiet;
    if (m_instanceChecker->Create(context.GetApplicationName(), context.GetUserFolders().state) &&
        !m_instanceChecker->IsAnotherRunning())
        return true;
    const wxString question = GetUiText("ID_ERROR_EXISTS", "Vostrel is already running.Do you want to open?");
    return ShowMessage(question, wxYES_NO | wxICON_QUESTION) == wxYES;
}

namespace {
constexpr int kSmallestUiPointSize = 11;
}

void CVostrelDlg::ChooseFonts()
{
    const SUiFontChoice choice = ChooseUiFont(wxFontEnumerator::GetFacenames());
    wxFont font(wxFontInfo(wxSize(0, choice.height)).FaceName(choice.face));
    if (choice.face == "Arial") {
        // Without the Chinese face the desktop's own font serves: it suits the
        // desktop's language. A pixel height fitted to "Arial" makes a Chinese
        // fallback face, whose lines are taller, come out far too small.
        font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        if (font.IsOk() && font.GetPointSize() < kSmallestUiPointSize)
            font.SetPointSize(kSmallestUiPointSize);
    }
    if (!font.IsOk())
        font = *wxNORMAL_FONT;
    CHarbrekBaseDlg::SetSharedFont(font);
    SetFont(font);
}

void CVostrelDlg::CreateLayout()
{
    m_pageRow = new wxBoxSizer(wxHORIZONTAL);
    m_navigationBar = new wxPanel(this);
    m_navigationBar->SetBackgroundColour(wxColour(38, 50, 72));
    auto* bar = new wxBoxSizer(wxVERTICAL);
    AddNavigationItem(bar, ITEM_HOME, "ID_STRING_DEVICE_MAIN", "主界面");
    AddNavigationItem(bar, ITEM_ONLINE, "ID_STRING_ONLINE", "在线设备");
    AddNavigationItem(bar, ITEM_COMMAND, "ID_CFG_COMMAND", "命令交互");
    AddNavigationItem(bar, ITEM_OFFLINE, "ID_STRING_OFFLINE", "离线设备");
    AddNavigationItem(bar, ITEM_CONFIG_ONLINE, "ID_STRING_DEVICE_CFG", "设备设置");
    AddNavigationItem(bar, ITEM_CONFIG_OFFLINE, "ID_STRING_DEVICE_CFG", "设备设置");
    AddNavigationItem(bar, ITEM_SEARCH, "ID_STRING_CMD_SEARCH", "命令查找");
    bar->AddStretchSpacer();
    AddNavigationItem(bar, ITEM_HELP, "ID_STRING_HELP", "帮助");
    AddNavigationItem(bar, ITEM_UPDATE, "ID_STRING_UPDATE", "检测更新");
    m_navigationBar->SetSizer(bar);
    m_pageRow->Add(m_navigationBar, 0, wxEXPAND);
    SetSizer(m_pageRow);

    m_homePage = new CMainDlg(this);
    AddPage(m_homePage);
    m_homePage->Show();
    m_currentPage = m_homePage;

    CHarbrekBaseDlg::ApplyFontToTree(m_navigationBar, CHarbrekBaseDlg::GetSharedFont());
    MarkNavigationItem(ITEM_HOME);
    UpdateNavigationItems();
}

void CVostrelDlg::AddNavigationItem(wxSizer* sizer, int item, const char* textId, const char* fallback)
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    // Themes paint button colours as they like; a strip beside the button marks the
    // current item the same way everywhere.
    auto* marker = new wxPanel(m_navigationBar, wxID_ANY, wxDefaultPosition, wxSize(4, -1));
    marker->SetBackgroundColour(wxColour(74, 144, 226));
    // Only colour: neither the Tab key nor a screen reader should stop on it.
    marker->SetCanFocus(false);
    marker->DisableFocusFromKeyboard();
    marker->Hide();
    row->Add(marker, 0, wxEXPAND | wxRIGHT, 2);
    auto* button = new wxButton(m_navigationBar, item, wxEmptyString, wxDefaultPosition, FromDIP(wxSize(150, 44)));
    button->Bind(wxEVT_BUTTON, [this, item](wxCommandEvent&) { SelectItem(item); });
    row->Add(button, 1, wxEXPAND);
    sizer->Add(row, 0, wxEXPAND | wxRIGHT | wxTOP, 6);
    m_navItems[item] = {textId, fallback, button, marker};
}

wxButton* CVostrelDlg::GetNavigationButton(int item) const
{
    const auto it = m_navItems.find(item);
    return it == m_navItems.end() ? nullptr : it->second.button;
}

void CVostrelDlg::ApplyUiTexts()
{
    ShowEditedScanner(m_editedScanner);
    for (auto& [item, nav] : m_navItems)
        nav.button->SetLabel(GetUiText(nav.textId, nav.fallback));
    FitNavigationButtons();
    // The home page has applied its own texts when it changed the language.
    for (CHarbrekBaseDlg* page : std::initializer_list<CHarbrekBaseDlg*>{m_onlinePage, m_offlinePage, m_commandPage,
                                                                         m_configPage}) {
        if (page)
            page->ApplyUiTexts();
    }
    Layout();
}

void CVostrelDlg::SelectItem(int item)
{
    // A page made on first use lists scanners under a wait window; requests that
    // arrive meanwhile wait as they do during a navigate request.
    const bool outermost = !m_busy;
    m_busy = true;
    PerformItem(item);
    if (outermost) {
        m_busy = false;
        ReplayDeferredRequests();
    }
}

void CVostrelDlg::PerformItem(int item)
{
    switch (item) {
    case ITEM_HOME:
    case ITEM_ONLINE:
    case ITEM_OFFLINE:
    case ITEM_CONFIG_ONLINE:
    case ITEM_CONFIG_OFFLINE:
    case ITEM_COMMAND:
        SwitchToPage(item);
        break;
    case ITEM_SEARCH:
        ShowCommandSearch();
        break;
    case ITEM_HELP:
        OpenHelpDocument();
        break;
    case ITEM_UPDATE:
        RunUpdateEntry(this);
        break;
    default:
        VLOG(LOG_INFO, "unknown navigation item %i", item);
        break;
    }
}

// ---- Page switching ----

void CVostrelDlg::SwitchToPage(int item)
{
    wxWindow* target = PageOfItem(item);
    if (!target) {
        VLOG(LOG_INFO, "navigation item %i has no page to show", item);
        return;
    }
    if (target != m_currentPage && m_currentPage && m_currentPage == m_configPage && !MayLeaveConfigPage())
        return;  // the user stays with the pending changes
    m_mode = ModeOfItem(item);
    Layout();
    if (target == m_currentPage)
        return;
    LeavePage(m_currentPage);
    target->Show();
    m_currentPage = target;
    MarkNavigationItem(item);
    UpdateNavigationItems();
    Layout();
    // The scanners plugged in or pulled since the list was last shown.
    if (target == m_onlinePage)
        m_onlinePage->RefreshDevices();
}

int CVostrelDlg::ModeOfItem(int item)
{
    switch (item) {
    case ITEM_ONLINE:
        return MODE_ONLINE;
    case ITEM_OFFLINE:
        return MODE_OFFLINE;
    case ITEM_CONFIG_ONLINE:
        return MODE_CONFIG_ONLINE;
    case ITEM_CONFIG_OFFLINE:
        return MODE_CONFIG_OFFLINE;
    case ITEM_COMMAND:
        return MODE_COMMAND;
    default:
        return MODE_HOME;
    }
}

// The page of an item; the lists and the command page are made when first needed,
// the configuration page only by a navigate request.
wxWindow* CVostrelDlg::PageOfItem(int item)
{
    switch (item) {
    case ITEM_HOME:
        return m_homePage;
    case ITEM_ONLINE:
        return m_onlinePage ? m_onlinePage : CreateOnlinePage();
    case ITEM_OFFLINE:
        return m_offlinePage ? m_offlinePage : CreateOfflinePage();
    case ITEM_CONFIG_ONLINE:
        return m_configPage && m_configPage->IsOnline() ? m_configPage : nullptr;
    case ITEM_CONFIG_OFFLINE:
        return m_configPage && !m_configPage->IsOnline() ? m_configPage : nullptr;
    case ITEM_COMMAND:
        if (!m_commandPage) {
            m_commandPage = new CCmdDlg(this);
            AddPage(m_commandPage);
        }
        return m_commandPage;
    default:
        return nullptr;
    }
}

// The command and configuration pages are rebuilt on every entry, so leaving
// them destroys them; the others wait hidden.
void CVostrelDlg::LeavePage(wxWindow* page)
{
    if (!page)
        return;
    if (page == m_configPage) {
        RetireConfigPage();
        ShowEditedScanner(wxString());
        HideSettingSearch();
    } else if (page == m_commandPage)
        DestroyPage(m_commandPage);
    else
        page->Hide();
}

void CVostrelDlg::AddPage(wxWindow* page)
{
    page->Hide();
    m_pageRow->Add(page, 1, wxEXPAND);
}

wxFont CVostrelDlg::NavigationFont() const
{
    const wxFont& shared = CHarbrekBaseDlg::GetSharedFont();
    return shared.IsOk() ? shared : GetFont();
}

void CVostrelDlg::MarkNavigationItem(int marked)
{
    const wxFont font = NavigationFont();
    for (auto& [item, nav] : m_navItems) {
        const bool isMarked = item == marked;
        nav.marker->Show(isMarked);
        nav.button->SetFont(isMarked ? font.Bold() : font);
    }
    FitNavigationButtons();
    m_navigationBar->Layout();
    m_navigationBar->Refresh();
}

// All items as wide as the widest caption in bold, the marked item's font, so that
// marking an item never cuts its caption nor moves the bar.
void CVostrelDlg::FitNavigationButtons()
{
    const wxFont bold = NavigationFont().Bold();
    int width = FromDIP(150);
    for (const auto& [item, nav] : m_navItems) {
        const wxString caption = nav.button->GetLabelText();
        int asShown = 0, inBold = 0;
        nav.button->GetTextExtent(caption, &asShown, nullptr);
        nav.button->GetTextExtent(caption, &inBold, nullptr, nullptr, nullptr, &bold);
        width = std::max(width, nav.button->GetBestSize().x - asShown + inBold);
    }
    for (const auto& [item, nav] : m_navItems)
        nav.button->SetMinSize(wxSize(width, FromDIP(44)));
}

// The settings item and the command search belong to a configuration page.
void CVostrelDlg::UpdateNavigationItems()
{
    ShowNavigationItem(ITEM_CONFIG_ONLINE, m_configPage && m_configPage->IsOnline());
    ShowNavigationItem(ITEM_CONFIG_OFFLINE, m_configPage && !m_configPage->IsOnline());
    ShowNavigationItem(ITEM_SEARCH, m_configPage != nullptr);
    m_navigationBar->Layout();
}

void CVostrelDlg::ShowNavigationItem(int item, bool show)
{
    SNavItem& nav = m_navItems[item];
    nav.button->Show(show);
    if (!show)
        nav.marker->Hide();
}

// ---- Navigate requests ----

void CVostrelDlg::OnNavigate(wxCommandEvent& event)
{
    // A request waits while another one runs its wait window: that window's event
    // loop would otherwise start the second one in the middle of the first.
    if (m_busy) {
        m_deferredRequests.push_back({event.GetInt(), event.GetClientData()});
        return;
    }
    m_busy = true;
    HandleNavigateRequest(event.GetInt(), event.GetClientData());
    m_busy = false;
    ReplayDeferredRequests();
}

void CVostrelDlg::ReplayDeferredRequests()
{
    for (const SNavigateRequest& deferred : m_deferredRequests)
        PostNavigateRequest(this, deferred.request, deferred.argument);
    m_deferredRequests.clear();
}

void CVostrelDlg::HandleNavigateRequest(int request, void* argument)
{
    VLOG(LOG_DETAIL, "navigate %i", request);
    DestroyConfigurationPages();
    CSaveCfg::GetInstance().SetOnline(false);
    switch (request) {
    case NAVIGATE_ONLINE:
        RecreateOnlinePage();
        SelectItem(ITEM_ONLINE);
        break;
    case NAVIGATE_OFFLINE:
        RecreateOfflinePage();
        if (m_offlinePage)
            SelectItem(ITEM_OFFLINE);
        break;
    case NAVIGATE_CONNECT:
        ConnectToScanner(FindListedEntry(argument));
        break;
    case NAVIGATE_CONFIGURE_MODEL:
        ConfigureModel(FindCatalogueModel(argument));
        break;
    case NAVIGATE_COMMAND:
        SelectItem(ITEM_COMMAND);
        break;
    case NAVIGATE_BATCH_UPGRADE:
        ShowBatchUpgradeDialog(this);
        break;
    default:
        VLOG(LOG_INFO, "unknown navigate request %i", request);
        break;
    }
    ShowSomethingWhenNothingIsShown();
}

template <typename Page>
void CVostrelDlg::DestroyPage(Page*& page)
{
    if (!page)
        return;
    if (m_currentPage == page)
        m_currentPage = nullptr;
    page->Destroy();
    page = nullptr;
}

// The search box finds settings of the configuration page; without the page it has
// nothing to show and would only float over the other pages.
void CVostrelDlg::HideSettingSearch()
{
    if (CCmdSearchDlg* box = CCmdSearchDlg::GetSearchBox())
        wxGetTopLevelParent(box)->Hide();
}

void CVostrelDlg::RetireConfigPage()
{
    FinishRetiring();
    if (!m_configPage)
        return;
    if (m_currentPage == m_configPage)
        m_currentPage = nullptr;
    m_configPage->EndWork();
    m_configPage->Hide();
    m_pageRow->Detach(m_configPage);
    m_retiringConfigPage = m_configPage;
    m_configPage = nullptr;
    m_retireTimer.StartOnce(1);
}

void CVostrelDlg::OnRetireTimer(wxTimerEvent&)
{
    if (!m_retiringConfigPage)
        return;
    CCfgTitleDlg* settings = m_retiringConfigPage->GetSettingsArea();
    if (settings && settings->ReleaseOnePage()) {
        m_retireTimer.StartOnce(1);
        return;
    }
    FinishRetiring();
}

void CVostrelDlg::FinishRetiring()
{
    m_retireTimer.Stop();
    if (m_retiringConfigPage)
        m_retiringConfigPage->Destroy();
    m_retiringConfigPage = nullptr;
}

void CVostrelDlg::DestroyConfigurationPages()
{
    FinishRetiring();
    DestroyPage(m_configPage);
    DestroyPage(m_commandPage);
    ShowEditedScanner(wxString());
    HideSettingSearch();
    if (m_navigationBar)
        UpdateNavigationItems();
}

void CVostrelDlg::RecreateOnlinePage()
{
    DestroyPage(m_onlinePage);
    CreateOnlinePage();
}

void CVostrelDlg::RecreateOfflinePage()
{
    DestroyPage(m_offlinePage);
    CreateOfflinePage();
}

// The list is filled when the page is entered.
CDeviceOnLineDlg* CVostrelDlg::CreateOnlinePage()
{
    m_onlinePage = new CDeviceOnLineDlg(this);
    AddPage(m_onlinePage);
    return m_onlinePage;
}

// Null when the catalogue cannot be read: the page has told the user and goes.
CDeviceOutLineDlg* CVostrelDlg::CreateOfflinePage()
{
    auto* page = new CDeviceOutLineDlg(this);
    if (!page->HasCatalogue()) {
        page->Destroy();
        return nullptr;
    }
    m_offlinePage = page;
    AddPage(m_offlinePage);
    return m_offlinePage;
}

void CVostrelDlg::ConnectToScanner(DeviceEntry* entry)
{
    bool connected = false;
    if (entry && entry->model) {
        HandModelToEngine(*entry->model);
        RecommendOtherToolWhenNeeded(*entry->model);
        const wxString outputFile = CAppContext::GetInstance().GetOutputFile();
        // One scanner is open at a time; one configured before is done with.
        connected = CWaitDlg::Run(this, [entry, outputFile] {
            CHBDataStreamMnt::GetInstance().CloseDevice(0);
            return RunConnectSequence(entry, outputFile);
        });
    }
    if (!connected) {
        VLOG(LOG_INFO, "reading the scanner %s failed", entry ? U8(entry->productName) : "(no longer listed)");
        ShowMessage(GetUiText("ID_DEVICE_GET_ERROR", "获取设备参数失败!"), wxOK | wxICON_ERROR);
        SelectItem(ITEM_ONLINE);
        return;
    }
    CSaveCfg::GetInstance().SetOnline(true);
    CreateConfigurationPage(true);
    ShowEditedScanner(DescribeEditedScanner(entry->productName, PortPathOf(*entry)));
    SelectItem(ITEM_CONFIG_ONLINE);
}

void CVostrelDlg::ConfigureModel(CDeviceInfo* model)
{
    if (!model) {
        VLOG(LOG_INFO, "the chosen model is no longer in the catalogue");
        return;
    }
    HandModelToEngine(*model);
    // The page reads the model's command file itself.
    CreateConfigurationPage(false);
    ShowEditedScanner(DescribeEditedScanner(model->m_key, wxString()));
    SelectItem(ITEM_CONFIG_OFFLINE);
}

void CVostrelDlg::HandModelToEngine(const CDeviceInfo& model)
{
    auto copy = std::make_unique<CDeviceInfo>();
    copy->CopyFrom(model, false);
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.SetCurrentModel(copy.get());
    engine.SetSetupCommand(copy->m_setupCommand);
    m_configuredModel = std::move(copy);
}

void CVostrelDlg::RecommendOtherToolWhenNeeded(const CDeviceInfo& model)
{
    if ((model.m_barcodeFlags & 0xFFF0) != kQconProductFlag ||
        CAppContext::GetInstance().GetUiLanguageId() == kChineseLanguageId)
        return;
    ShowMessage(GetUiText("ID_DEVICE_USE_QCON",
                          "For this product we recommend the configuration tool Qcon. Where to get it is told in "
                          "the help (F1), section \"Downloads\": Doc/Vostrel_EN.html#download"),
                wxOK | wxICON_INFORMATION);
}

void CVostrelDlg::CreateConfigurationPage(bool online)
{
    m_configPage = new CCfgMainDlg(this, online);
    AddPage(m_configPage);
    UpdateNavigationItems();
}

void CVostrelDlg::ShowCommandSearch()
{
    if (m_mode != MODE_CONFIG_ONLINE && m_mode != MODE_CONFIG_OFFLINE)
        return;
    if (m_showCommandSearch)
        m_showCommandSearch();
    else
        VLOG(LOG_INFO, "the command search box is not part of this build");
}

// A request that ends without a page (a refused argument, a catalogue that cannot
// be read) must not leave the right side empty.
wxString DescribeEditedScanner(const wxString& product, const wxString& port)
{
    if (port.empty())
        return wxString::Format(GetUiText("ID_EDITED_OFFLINE", "%s (offline)"), product);
    return wxString::Format(GetUiText("ID_EDITED_ONLINE", "%s on %s"), product, port);
}

wxString MainWindowTitle(const wxString& editedScanner, const wxString& version, bool rescue)
{
    const wxString program =
        wxString::Format("%s V%s", GetUiText("ID_CAPTION", "Vostrel"), FormatTitleVersion(version, rescue));
    if (editedScanner.empty())
        return program;
    return program + wxString::FromUTF8(" \u2014 ") + editedScanner;
}

void CVostrelDlg::ShowEditedScanner(const wxString& editedScanner)
{
    m_editedScanner = editedScanner;
    const bool rescue = CAppSettings::GetInstance().Values().checkCpu != 0;
    SetTitle(MainWindowTitle(m_editedScanner, CAppContext::GetInstance().GetVersion(), rescue));
    if (m_configPage)
        m_configPage->SetEditedScanner(m_editedScanner);
}

void CVostrelDlg::ShowSomethingWhenNothingIsShown()
{
    if (!m_currentPage)
        SelectItem(ITEM_HOME);
}

// Offline the changes live only in the pages, which go with the page: they are lost
// unless the user saves them to a file or lets them go.
bool CVostrelDlg::MayLeaveConfigPage()
{
    if (m_configPage->IsOnline())
        return !m_configPage->GetHistory()->CheckBeforeLeave(true);
    CPendingChangeList& history = CPendingChangeList::GetInstance();
    if (history.GetEntries().empty())
        return true;
    const int answer = ShowMessage(GetUiText("ID_ERROR_EXIT_OFFLINE", "设置已修改但未保存，需要保存到文件吗？"),
                                   wxYES_NO | wxCANCEL | wxICON_QUESTION);
    if (answer == wxNO) {
        history.ClearChanges();
        return true;
    }
    return answer == wxYES && m_configPage->SaveFile();
}

// ---- Closing ----

void CVostrelDlg::OnClose(wxCloseEvent& event)
{
    if (event.CanVeto() && !ConfirmClosing()) {
        event.Veto();
        return;
    }
    Destroy();
}

// False keeps the window open.
bool CVostrelDlg::ConfirmClosing()
{
    if (m_mode == MODE_CONFIG_OFFLINE && m_configPage && m_currentPage == m_configPage)
        return MayLeaveConfigPage();
    CPendingChangeList& history = CPendingChangeList::GetInstance();
    if (history.GetEntries().empty() || (m_mode != MODE_ONLINE && m_mode != MODE_CONFIG_ONLINE))
        return true;
    const int answer = ShowMessage(GetUiText("ID_ERROR_EXIT", "设备参数改变，需要保存到设备吗？"),
                                   wxYES_NO | wxCANCEL | wxICON_WARNING);
    if (answer == wxCANCEL)
        return false;
    if (answer == wxYES)
        return ApplyChangesBeforeClosing();
    history.ClearChanges();
    return true;
}

// The write and its read-back take seconds at a low baud rate: they run under the
// wait dialog, as every write of the configuration page does.
bool CVostrelDlg::ApplyChangesBeforeClosing()
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (CWaitDlg::RunWork([&engine] { return engine.ApplyChanges(); }))
        return true;
    // Closing now would lose the changes the scanner refused; the user decides again.
    ShowMessage(FailedWriteText(true), wxOK | wxICON_ERROR);
    return false;
}

void CVostrelDlg::OnSelectItem(wxCommandEvent& event)
{
    SelectItem(event.GetInt());
}

void CVostrelDlg::OnTextsChanged(wxCommandEvent&)
{
    ApplyUiTexts();
    // The new texts came without the letters the old ones were given.
    AssignMnemonicsSoon(this);
}

void CVostrelDlg::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_F1 && !event.HasAnyModifiers()) {
        OpenHelpDocument();
        return;
    }
    const bool configuring = m_mode == MODE_CONFIG_ONLINE || m_mode == MODE_CONFIG_OFFLINE;
    const bool ctrlF = event.GetModifiers() == wxMOD_CONTROL && (event.GetKeyCode() == 'F' || event.GetKeyCode() == 'f');
    if (configuring && ctrlF) {
        wxCommandEvent select(EVT_VOSTREL_SELECT_ITEM);
        select.SetInt(ITEM_SEARCH);
        wxPostEvent(this, select);
        return;
    }
    event.Skip();
}
