#include "CfgTitleDlg.h"

#include "UI/gui/WaitDlg.h"
#include <wx/app.h>

#include "PageDlg.h"
#include "TabCreate.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "device/DeviceInfo.h"
#include "model/ControlFactory.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "model/TabNodeXmlInfo.h"
#include "regCtrl/object/ControlBase.h"
#include "regCtrl/object/ControlMnt.h"

#include <wx/sizer.h>

namespace {

// The page that must hear its show notification again whenever its tab is chosen:
// it reads the current settings into a barcode each time.
const char* const kSettingsCodePage = "Settings Code";

}  // namespace

CCfgTitleDlg::CCfgTitleDlg(wxWindow* parent, bool online) : CHarbrekBaseDlg(parent)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_rowsSizer = new wxBoxSizer(wxVERTICAL);
    m_pageArea = new wxPanel(this);
    m_pageSizer = new wxBoxSizer(wxVERTICAL);
    m_pageArea->SetSizer(m_pageSizer);
    sizer->Add(m_rowsSizer, 0, wxEXPAND);
    sizer->Add(m_pageArea, 1, wxEXPAND);
    SetSizer(sizer);

    CWindowControlFactory& factory = CWindowControlFactory::GetInstance();
    factory.SetLayoutPageHandler([this] { RelayoutCurrentPage(); });
    factory.SetBringPageForwardHandler([this](CControlBase& control) { BringForward(control); });

    m_loaded = LoadSettings(online);
    if (m_loaded)
        CreateTabs();
}

CCfgTitleDlg::~CCfgTitleDlg()
{
    CWindowControlFactory& factory = CWindowControlFactory::GetInstance();
    factory.SetLayoutPageHandler(nullptr);
    factory.SetBringPageForwardHandler(nullptr);
    ReleaseControls();
}

CPageXmlInfo* CCfgTitleDlg::PageOf(const CCmdNameXmlInfo* definition)
{
    if (!definition)
        return nullptr;
    if (definition->OwnerPage)
        return definition->OwnerPage;
    for (const auto& [name, page] : CPageMntXmlInfo::GetInstance().GetPages()) {
        for (const auto& group : page->GetGroups()) {
            for (const auto& command : group->GetCommands()) {
                if (command.get() == definition)
                    return page.get();
            }
        }
    }
    return nullptr;
}

void CCfgTitleDlg::BringForward(CControlBase& control)
{
    CPageXmlInfo* page = PageOf(control.Command);
    if (page && m_tabs)
        m_tabs->SelectPage(page->Name);
    if (m_currentPage && m_currentPage->GetPage() == page)
        m_currentPage->ScrollToControl(control);
}

bool CCfgTitleDlg::LoadSettings(bool online)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (!online) {
        const CDeviceInfo* model = engine.GetCurrentModel();
        CDeviceCmdNameMntXmlInfo& commands = CDeviceCmdNameMntXmlInfo::GetInstance();
        // A failed load would keep another model's commands.
        commands.Clear();
        if (!model || !commands.Load(model->m_link)) {
            VLOG(LOG_ERROR, "the chosen model has no usable command file");
            ShowMessage(GetUiText("ID_DEVICE_LOAD_ERROR", "导入配置文件失败!"), wxOK | wxICON_ERROR);
            return false;
        }
        return pages.Load();
    }
    engine.ClearFailedQueries();
    const bool loaded = CWaitDlg::RunWork([&pages] { return pages.Load(); });
    if (!engine.GetFailedQueries().empty()) {
        wxString names;
        for (const wxString& name : engine.GetFailedQueries())
            names += name + " ";
        VLOG(LOG_INFO, "queries failed: %s", U8(names));
        ShowMessage(GetUiText("ID_DEVICE_GET_ERROR", "获取设备参数失败!"), wxOK | wxICON_ERROR);
    }
    return loaded;
}

void CCfgTitleDlg::CreateTabs()
{
    m_tabRoot = std::make_unique<CTabNodeXmlInfo>();
    if (!m_tabRoot->Load()) {
        VLOG(LOG_WARNING, "the tab tree could not be read");
        return;
    }
    m_tabs = std::make_unique<CTabCreate>(this, m_rowsSizer, [this](CTabNodeXmlInfo* leaf) { ShowPageOf(leaf); });
    m_tabs->Build(m_tabRoot.get());
    ApplySharedFont();
    m_tabs->SelectFirst();
}

void CCfgTitleDlg::ApplyUiTexts()
{
    if (m_tabs)
        m_tabs->ApplyUiTexts();
}

CPageDlg* CCfgTitleDlg::PageWindowFor(CPageXmlInfo* page)
{
    auto found = m_pageWindows.find(page);
    if (found != m_pageWindows.end())
        return found->second;
    auto* window = new CPageDlg(m_pageArea, page);
    window->Hide();
    m_pageSizer->Add(window, 1, wxEXPAND);
    m_pageWindows[page] = window;
    return window;
}

void CCfgTitleDlg::ShowPageOf(CTabNodeXmlInfo* leaf)
{
    CPageXmlInfo* page = leaf && leaf->PageNode ? leaf->PageNode->Page : nullptr;
    if (!page)
        return;  // a tab without its page shows nothing
    CPageDlg* window = PageWindowFor(page);
    if (window == m_currentPage) {
        if (page->Name == kSettingsCodePage)
            window->NotifyShown();
        return;
    }
    if (m_currentPage) {
        m_currentPage->NotifyHidden();
        m_currentPage->Hide();
    }
    window->Show();
    m_pageArea->Layout();
    window->BuildControlsInSteps();
    window->NotifyShown();
    window->SetFocus();
    m_currentPage = window;
    Layout();
}

bool CCfgTitleDlg::ShowSetting(CCmdNameXmlInfo* definition)
{
    CPageXmlInfo* page = PageOf(definition);
    if (!page || !m_tabs || !m_tabs->SelectPage(page->Name))
        return false;
    // The page's controls exist now that it has been shown, the rows below its
    // first screen once it has been built to the end.
    if (m_currentPage)
        m_currentPage->BuildControls();
    if (definition->Control && GetControlFactory())
        GetControlFactory()->FocusControl(definition->Control);
    return true;
}

void CCfgTitleDlg::RelayoutCurrentPage()
{
    if (m_currentPage)
        m_currentPage->Relayout();
}

void CCfgTitleDlg::ReleasePageControls(CPageXmlInfo& page)
{
    IControlFactory* factory = GetControlFactory();
    for (const auto& group : page.GetGroups()) {
        for (const auto& definition : group->GetCommands())
            definition->DestroyControl();
        if (group->GroupControl && factory)
            factory->DestroyControl(group->GroupControl);
        group->GroupControl = nullptr;
    }
}

bool CCfgTitleDlg::ReleaseOnePage()
{
    if (m_pageWindows.empty())
        return false;
    const auto [page, window] = *m_pageWindows.begin();
    ReleasePageControls(*page);
    if (window == m_currentPage)
        m_currentPage = nullptr;
    m_pageWindows.erase(m_pageWindows.begin());
    window->Destroy();
    return true;
}

void CCfgTitleDlg::ReleaseControls()
{
    // The controls belong to the definitions, which outlive this area; their
    // widgets must go while the page windows that hold them still exist.
    for (const auto& [name, page] : CPageMntXmlInfo::GetInstance().GetPages())
        ReleasePageControls(*page);
    m_pageWindows.clear();
    m_currentPage = nullptr;
}
