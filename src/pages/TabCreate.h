// The rows of tabs over the settings pages: the top row for the tree's first level,
// and for an inner tab, once chosen, a row of its own children below its parent's.
#pragma once

#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/tglbtn.h>

#include <functional>
#include <map>
#include <vector>

class CTabNodeXmlInfo;

class CTabCreate {
public:
    using LeafHandler = std::function<void(CTabNodeXmlInfo* leaf)>;

    // Rows go into `rowsSizer` of `owner`; `onLeaf` shows the page of a chosen leaf tab.
    CTabCreate(wxWindow* owner, wxSizer* rowsSizer, LeafHandler onLeaf);

    void Build(CTabNodeXmlInfo* root);
    // Chooses the tab of `node` (and the tabs that lead to it); an inner tab's row
    // opens on its first page.
    void Select(CTabNodeXmlInfo* node);
    // The first tab, and down to its first page when it is an inner tab.
    void SelectFirst();
    // The tab of the page of that name; false when no tab shows it.
    bool SelectPage(const wxString& pageName);

    CTabNodeXmlInfo* GetSelected() const { return m_selected; }
    // Labels again from the text table (after a language change).
    void ApplyUiTexts();

    static bool IsLeaf(const CTabNodeXmlInfo* node);

private:
    struct STab {
        wxToggleButton* button;
        CTabNodeXmlInfo* node;
    };
    struct SRow {
        wxPanel* panel = nullptr;
        std::vector<STab> tabs;
    };

    static CTabNodeXmlInfo* FirstLeafUnder(CTabNodeXmlInfo* node);
    SRow& RowOf(CTabNodeXmlInfo* node);
    SRow CreateRow(CTabNodeXmlInfo* node);
    void ShowRowsAlong(const std::vector<CTabNodeXmlInfo*>& chain);

    wxWindow* m_owner;
    wxSizer* m_rowsSizer;
    LeafHandler m_onLeaf;
    CTabNodeXmlInfo* m_root = nullptr;
    CTabNodeXmlInfo* m_selected = nullptr;
    std::map<CTabNodeXmlInfo*, SRow> m_rows;
};
