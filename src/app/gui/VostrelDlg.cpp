#include "VostrelDlg.h"

#include "AppContext.h"
#include "AppSettings.h"
#include "HarbrekBaseDlg.h"
#include "LanguageXmlInfo.h"
#include "Log.h"
#include "MainDlg.h"
#include "MainWindowEvents.h"
#include "StartupRules.h"
#include "UiText.h"

#include <wx/display.h>
#include <wx/fontenum.h>
#include <wx/sizer.h>
#include <wx/tokenzr.h>

wxDEFINE_EVENT(EVT_VOSTREL_NAVIGATE, wxCommandEvent);
wxDEFINE_EVENT(EVT_VOSTREL_TEXTS_CHANGED, wxCommandEvent);

CVostrelDlg::CVostrelDlg() : wxFrame(nullptr, wxID_ANY, "Vostrel", wxDefaultPosition, wxSize(1100, 720))
{
    Bind(EVT_VOSTREL_NAVIGATE, &CVostrelDlg::OnNavigate, this);
    Bind(EVT_VOSTREL_TEXTS_CHANGED, &CVostrelDlg::OnTextsChanged, this);
    Bind(wxEVT_CHAR_HOOK, &CVostrelDlg::OnCharHook, this);
}

CVostrelDlg::~CVostrelDlg()
{
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
    settings.LoadAppSettings(context.GetProgramDirectory() + "hbs.ini");
    for (const wxString& path : wxSplit(settings.Values().serialPorts, ':', '\0'))
        hbds_add_serial_path(path.utf8_str());
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
    const wxString chosen = languages.ChooseStartLanguage(CAppSettings::GetInstance().Values().lang);
    if (!languages.LoadLanguageTexts(chosen)) {
        ShowMessage(failure, wxOK | wxICON_ERROR);
        return false;
    }
    return true;
}

bool CVostrelDlg::AskSingleInstance()
{
    m_instanceChecker = std::make_unique<wxSingleInstanceChecker>();
    if (m_instanceChecker->Create(CAppContext::GetInstance().GetApplicationName()) &&
        !m_instanceChecker->IsAnotherRunning())
        return true;
    const wxString question = GetUiText("ID_ERROR_EXISTS", "Vostrel is already running.Do you want to open?");
    return ShowMessage(question, wxYES_NO | wxICON_QUESTION) == wxYES;
}

void CVostrelDlg::ChooseFonts()
{
    const SUiFontChoice choice = ChooseUiFont(wxFontEnumerator::GetFacenames());
    wxFont font(wxFontInfo(wxSize(0, choice.height)).FaceName(choice.face));
    if (!font.IsOk())
        font = *wxNORMAL_FONT;
    CHarbrekBaseDlg::SetSharedFont(font);
    SetFont(font);
}

void CVostrelDlg::CreateLayout()
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_navigationBar = new wxPanel(this);
    m_navigationBar->SetBackgroundColour(wxColour(38, 50, 72));
    auto* bar = new wxBoxSizer(wxVERTICAL);
    AddNavigationItem(bar, ITEM_HOME, "ID_STRING_DEVICE_MAIN", "主界面");
    AddNavigationItem(bar, ITEM_ONLINE, "ID_STRING_ONLINE", "在线设备");
    AddNavigationItem(bar, ITEM_COMMAND, "ID_CFG_COMMAND", "命令交互");
    AddNavigationItem(bar, ITEM_OFFLINE, "ID_STRING_OFFLINE", "离线设备");
    bar->AddStretchSpacer();
    AddNavigationItem(bar, ITEM_HELP, "ID_STRING_HELP", "帮助");
    AddNavigationItem(bar, ITEM_UPDATE, "ID_STRING_UPDATE", "检测更新");
    m_navigationBar->SetSizer(bar);
    row->Add(m_navigationBar, 0, wxEXPAND);

    m_homePage = new CMainDlg(this);
    row->Add(m_homePage, 1, wxEXPAND);
    SetSizer(row);

    // Pages that are not built yet keep their entries disabled.
    for (int item : {ITEM_ONLINE, ITEM_COMMAND, ITEM_OFFLINE, ITEM_UPDATE})
        m_navItems[item].button->Disable();
    for (int request : {NAVIGATE_ONLINE, NAVIGATE_OFFLINE, NAVIGATE_COMMAND, NAVIGATE_BATCH_UPGRADE})
        m_homePage->EnableEntry(request, false);
    CHarbrekBaseDlg::ApplyFontToTree(m_navigationBar, CHarbrekBaseDlg::GetSharedFont());
}

void CVostrelDlg::AddNavigationItem(wxSizer* sizer, int item, const char* textId, const char* fallback)
{
    auto* button = new wxButton(m_navigationBar, item, wxEmptyString, wxDefaultPosition, wxSize(150, 44));
    button->Bind(wxEVT_BUTTON, [this, item](wxCommandEvent&) { SelectItem(item); });
    sizer->Add(button, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 6);
    m_navItems[item] = {textId, fallback, button};
}

void CVostrelDlg::ApplyUiTexts()
{
    const bool rescue = CAppSettings::GetInstance().Values().checkCpu != 0;
    SetTitle(wxString::Format("%s V%s", GetUiText("ID_CAPTION", "Vostrel"),
                              FormatTitleVersion(CAppContext::GetInstance().GetVersion(), rescue)));
    for (auto& [item, nav] : m_navItems)
        nav.button->SetLabel(GetUiText(nav.textId, nav.fallback));
    Layout();
}

void CVostrelDlg::SelectItem(int item)
{
    switch (item) {
    case ITEM_HOME:
        m_mode = 0;
        m_homePage->Show();
        Layout();
        break;
    case ITEM_HELP:
        OpenHelpDocument();
        break;
    default:
        VLOG(LOG_INFO, "navigation item %i has no page yet", item);
        break;
    }
}

void CVostrelDlg::OnNavigate(wxCommandEvent& event)
{
    VLOG(LOG_INFO, "navigate request %i has no page yet", event.GetInt());
}

void CVostrelDlg::OnTextsChanged(wxCommandEvent&)
{
    ApplyUiTexts();
}

void CVostrelDlg::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_F1 && !event.HasAnyModifiers()) {
        OpenHelpDocument();
        return;
    }
    event.Skip();
}
