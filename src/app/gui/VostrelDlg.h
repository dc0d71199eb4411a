// The program's one top-level window: the navigation bar on the left and one page
// at a time on the right.
#pragma once

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/snglinst.h>

#include <map>
#include <memory>

class CMainDlg;

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

    // Re-applies the window's own texts (title and navigation labels).
    void ApplyUiTexts();

    CMainDlg* GetHomePage() const { return m_homePage; }
    int GetMode() const { return m_mode; }

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

private:
    bool LoadLanguage();
    bool AskSingleInstance();
    void ChooseFonts();
    void CreateLayout();
    void AddNavigationItem(wxSizer* sizer, int item, const char* textId, const char* fallback);
    void SelectItem(int item);
    void OnNavigate(wxCommandEvent& event);
    void OnTextsChanged(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);

    int m_mode = 0;
    CMainDlg* m_homePage = nullptr;
    wxPanel* m_navigationBar = nullptr;
    struct SNavItem {
        const char* textId;
        const char* fallback;
        wxButton* button;
    };
    std::map<int, SNavItem> m_navItems;
    std::unique_ptr<wxSingleInstanceChecker> m_instanceChecker;
    bool m_started = false;
};
