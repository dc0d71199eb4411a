// The program's one top-level window: the navigation bar on the left and one page
// at a time on the right.
#pragma once

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/snglinst.h>
#include <wx/timer.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CCfgMainDlg;
class CDeviceInfo;
class CDeviceOnLineDlg;
class CDeviceOutLineDlg;
class CHarbrekBaseDlg;
class CMainDlg;
struct DeviceEntry;

// What a configuration page edits, in the user's words: "HBS-HI880 on /dev/ttyACM0"
// for a connected scanner, "HBS-HI880 (offline)" for a model without one (empty
// `port`). Both the window title and the page heading show it.
wxString DescribeEditedScanner(const wxString& product, const wxString& port);

// The main window's title: the program and what is edited, or the program and its
// version while nothing is.
wxString MainWindowTitle(const wxString& editedScanner, const wxString& version, bool rescue);

struct SStartOptions {
    bool checkSingleInstance = true;
    bool maximise = true;
};

class CVostrelDlg : public wxFrame {
public:
    CVostrelDlg();
    ~CVostrelDlg() override;

    // The start of the main window: screen check, settings, UI language, the
    // single-instance question, fonts, navigation and home page. False means the
    // program ends (the user has been told why).
    bool Start(const SStartOptions& options = SStartOptions());

    // Re-applies the window's own texts (title and navigation labels) and the pages'.
    void ApplyUiTexts();

    // Performs navigation item `item` (ITEM_...) as a click in the bar does.
    void SelectItem(int item);

    // Shows the command search box (item 986) near the mouse pointer with its edit
    // field focused. The settings pages provide the box; until a handler is set,
    // the item only logs.
    using CommandSearchHandler = std::function<void()>;
    void SetCommandSearchHandler(CommandSearchHandler handler) { m_showCommandSearch = std::move(handler); }
    void HideSettingSearch();

    int GetMode() const { return m_mode; }
    const wxString& GetEditedScanner() const { return m_editedScanner; }
    wxWindow* GetCurrentPage() const { return m_currentPage; }
    CMainDlg* GetHomePage() const { return m_homePage; }
    CDeviceOnLineDlg* GetOnlinePage() const { return m_onlinePage; }
    CDeviceOutLineDlg* GetOfflinePage() const { return m_offlinePage; }
    CCfgMainDlg* GetConfigPage() const { return m_configPage; }
    CHarbrekBaseDlg* GetCommandPage() const { return m_commandPage; }
    wxButton* GetNavigationButton(int item) const;

    // Navigation items.
    enum {
        ITEM_HOME = 980,
        ITEM_ONLINE = 981,
        ITEM_OFFLINE = 982,
        ITEM_CONFIG_ONLINE = 983,
        ITEM_CONFIG_OFFLINE = 984,
        ITEM_COMMAND = 985,
        ITEM_SEARCH = 986,
        ITEM_HELP = 987,
        ITEM_UPDATE = 988
    };

    // Modes: which page the window is about.
    enum {
        MODE_HOME = 0,
        MODE_ONLINE = 1,
        MODE_OFFLINE = 2,
        MODE_CONFIG_ONLINE = 5,
        MODE_CONFIG_OFFLINE = 10,
        MODE_COMMAND = 256
    };

private:
    void InstallPageHooks();
    bool LoadLanguage();
    bool AskSingleInstance();
    void ChooseFonts();
    void CreateLayout();
    void AddNavigationItem(wxSizer* sizer, int item, const char* textId, const char* fallback);

    void PerformItem(int item);

    // Page switching.
    void SwitchToPage(int item);
    static int ModeOfItem(int item);
    wxWindow* PageOfItem(int item);
    void LeavePage(wxWindow* page);
    void AddPage(wxWindow* page);
    void MarkNavigationItem(int item);
    void FitNavigationButtons();
    wxFont NavigationFont() const;
    void UpdateNavigationItems();
    void ShowNavigationItem(int item, bool show);

    // Navigate requests.
    void OnNavigate(wxCommandEvent& event);
    void HandleNavigateRequest(int request, void* argument);
    void ReplayDeferredRequests();
    template <typename Page>
    void DestroyPage(Page*& page);
    void DestroyConfigurationPages();
    // The configuration page leaves the screen at once and is taken apart one
    // settings page per turn of the event loop: twenty built pages destroyed in one
    // go would hold the windows for a quarter of a second.
    void RetireConfigPage();
    void OnRetireTimer(wxTimerEvent& event);
    // Before a new configuration page uses the settings model.
    void FinishRetiring();
    void RecreateOnlinePage();
    void RecreateOfflinePage();
    CDeviceOnLineDlg* CreateOnlinePage();
    CDeviceOutLineDlg* CreateOfflinePage();
    void ConnectToScanner(DeviceEntry* entry);
    void ConfigureModel(CDeviceInfo* model);
    void HandModelToEngine(const CDeviceInfo& model);
    void RecommendOtherToolWhenNeeded(const CDeviceInfo& model);
    void CreateConfigurationPage(bool online);
    void ShowCommandSearch();
    void ShowSomethingWhenNothingIsShown();
    void ShowEditedScanner(const wxString& editedScanner);

    // Closing.
    void OnClose(wxCloseEvent& event);
    bool ConfirmClosing();
    // False keeps the user on the configuration page with the pending changes.
    bool MayLeaveConfigPage();
    bool ApplyChangesBeforeClosing();

    void OnSelectItem(wxCommandEvent& event);
    void OnTextsChanged(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);

    int m_mode = MODE_HOME;
    wxWindow* m_currentPage = nullptr;
    CMainDlg* m_homePage = nullptr;
    CDeviceOnLineDlg* m_onlinePage = nullptr;
    CDeviceOutLineDlg* m_offlinePage = nullptr;
    CHarbrekBaseDlg* m_commandPage = nullptr;
    CCfgMainDlg* m_configPage = nullptr;
    CCfgMainDlg* m_retiringConfigPage = nullptr;
    wxTimer m_retireTimer;
    wxSizer* m_pageRow = nullptr;
    wxPanel* m_navigationBar = nullptr;
    struct SNavItem {
        const char* textId;
        const char* fallback;
        wxButton* button;
        wxWindow* marker;
    };
    std::map<int, SNavItem> m_navItems;
    // The engine's current model: a copy of the scanner's or the catalogue's record,
    // so that neither a new enumeration nor a catalogue reload leaves it dangling.
    std::unique_ptr<CDeviceInfo> m_configuredModel;
    wxString m_editedScanner;  // DescribeEditedScanner of the configuration page, if any
    CommandSearchHandler m_showCommandSearch;
    struct SNavigateRequest {
        int request;
        void* argument;
    };
    bool m_busy = false;  // a navigation step is running
    std::vector<SNavigateRequest> m_deferredRequests;
    std::unique_ptr<wxSingleInstanceChecker> m_instanceChecker;
    bool m_started = false;
};
