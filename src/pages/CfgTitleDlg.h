// The settings area of the configuration page: the rows of tabs and, below them,
// the page of the chosen tab.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <functional>
#include <map>
#include <memory>

class CCmdNameXmlInfo;
class CControlBase;
class CPageDlg;
class CPageXmlInfo;
class CTabCreate;
class CTabNodeXmlInfo;
class wxBoxSizer;

class CCfgTitleDlg : public CHarbrekBaseDlg {
public:
    CCfgTitleDlg(wxWindow* parent, bool online);
    ~CCfgTitleDlg() override;

    void ApplyUiTexts() override;

    // Brings the page of `definition` forward and gives its control the focus.
    bool ShowSetting(CCmdNameXmlInfo* definition);
    // Shows the page of a leaf tab (made on first use).
    void ShowPageOf(CTabNodeXmlInfo* leaf);
    void RelayoutCurrentPage();

    CPageDlg* GetCurrentPage() const { return m_currentPage; }
    CTabCreate* GetTabs() const { return m_tabs.get(); }
    CTabNodeXmlInfo* GetTabRoot() const { return m_tabRoot.get(); }
    bool HasPages() const { return m_loaded; }

    // Takes the controls and the window of one built page away; false once none is
    // left. Lets a page that is going be taken apart a piece at a time.
    bool ReleaseOnePage();

private:
    static CPageXmlInfo* PageOf(const CCmdNameXmlInfo* definition);
    void BringForward(CControlBase& control);
    bool LoadSettings(bool online);
    void CreateTabs();
    CPageDlg* PageWindowFor(CPageXmlInfo* page);
    void ReleaseControls();
    static void ReleasePageControls(CPageXmlInfo& page);

    std::unique_ptr<CTabNodeXmlInfo> m_tabRoot;
    std::unique_ptr<CTabCreate> m_tabs;
    wxBoxSizer* m_rowsSizer = nullptr;
    wxWindow* m_pageArea = nullptr;
    wxBoxSizer* m_pageSizer = nullptr;
    std::map<CPageXmlInfo*, CPageDlg*> m_pageWindows;
    CPageDlg* m_currentPage = nullptr;
    bool m_loaded = false;
};
