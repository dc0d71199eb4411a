#include "TabCreate.h"

#include "app/UiText.h"
#include "model/TabNodeXmlInfo.h"

#include <algorithm>

namespace {

wxString LabelOf(const CTabNodeXmlInfo& node)
{
    return node.langID.empty() ? node.name : GetUiText(node.langID, node.name);
}

// The nodes from the first level down to `node`.
std::vector<CTabNodeXmlInfo*> ChainTo(CTabNodeXmlInfo* node, const CTabNodeXmlInfo* root)
{
    std::vector<CTabNodeXmlInfo*> chain;
    for (CTabNodeXmlInfo* at = node; at && at != root; at = at->Parent)
        chain.insert(chain.begin(), at);
    return chain;
}

}  // namespace

CTabCreate::CTabCreate(wxWindow* owner, wxSizer* rowsSizer, LeafHandler onLeaf)
    : m_owner(owner), m_rowsSizer(rowsSizer), m_onLeaf(std::move(onLeaf))
{
}

bool CTabCreate::IsLeaf(const CTabNodeXmlInfo* node)
{
    return node && node->PageNode != nullptr;
}

void CTabCreate::Build(CTabNodeXmlInfo* root)
{
    m_root = root;
    if (root)
        RowOf(root).panel->Show();
}

CTabCreate::SRow CTabCreate::CreateRow(CTabNodeXmlInfo* node)
{
    SRow row;
    row.panel = new wxPanel(m_owner);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    int32_t rowHeight = node->height;
    for (const auto& child : node->GetChildren()) {
        auto* button = new wxToggleButton(row.panel, wxID_ANY, LabelOf(*child));
        rowHeight = std::max(rowHeight, child->ParentHeight);
        CTabNodeXmlInfo* target = child.get();
        button->Bind(wxEVT_TOGGLEBUTTON, [this, target](wxCommandEvent&) { Select(target); });
        sizer->Add(button, 0, wxEXPAND | wxRIGHT, 2);
        row.tabs.push_back({button, target});
    }
    // The model's height, unless the desktop's buttons need more for their captions
    // (in the font they get later).
    sizer->Add(0, rowHeight);
    row.panel->SetSizer(sizer);
    row.panel->Hide();
    m_rowsSizer->Add(row.panel, 0, wxEXPAND | wxBOTTOM, 2);
    return row;
}

CTabCreate::SRow& CTabCreate::RowOf(CTabNodeXmlInfo* node)
{
    auto found = m_rows.find(node);
    if (found == m_rows.end())
        found = m_rows.emplace(node, CreateRow(node)).first;
    return found->second;
}

void CTabCreate::ShowRowsAlong(const std::vector<CTabNodeXmlInfo*>& chain)
{
    std::map<CTabNodeXmlInfo*, CTabNodeXmlInfo*> chosenInRow{{m_root, chain.empty() ? nullptr : chain.front()}};
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        chosenInRow[chain[i]] = chain[i + 1];
    if (!chain.empty() && !IsLeaf(chain.back()))
        chosenInRow.emplace(chain.back(), nullptr);  // its own row opens, nothing chosen in it yet

    for (const auto& [node, chosen] : chosenInRow)
        RowOf(node);  // rows are made the first time they are needed
    for (auto& [node, row] : m_rows) {
        const auto shown = chosenInRow.find(node);
        row.panel->Show(shown != chosenInRow.end());
        for (STab& tab : row.tabs)
            tab.button->SetValue(shown != chosenInRow.end() && tab.node == shown->second);
    }
    m_owner->Layout();
}

// An inner tab opens its row on its first page: the page shown below the rows then
// always belongs to the marked tabs.
CTabNodeXmlInfo* CTabCreate::FirstLeafUnder(CTabNodeXmlInfo* node)
{
    while (node && !IsLeaf(node) && !node->GetChildren().empty())
        node = node->GetChildren().front().get();
    return node;
}

void CTabCreate::Select(CTabNodeXmlInfo* node)
{
    node = FirstLeafUnder(node);
    if (!node || !m_root)
        return;
    m_selected = node;
    ShowRowsAlong(ChainTo(node, m_root));
    if (IsLeaf(node) && m_onLeaf)
        m_onLeaf(node);
}

void CTabCreate::SelectFirst()
{
    if (m_root && !m_root->GetChildren().empty())
        Select(m_root->GetChildren().front().get());
}

bool CTabCreate::SelectPage(const wxString& pageName)
{
    CTabNodeXmlInfo* leaf = m_root ? m_root->FindPage(pageName) : nullptr;
    if (!leaf)
        return false;
    Select(leaf);
    return true;
}

void CTabCreate::ApplyUiTexts()
{
    for (auto& [node, row] : m_rows) {
        for (STab& tab : row.tabs)
            tab.button->SetLabel(LabelOf(*tab.node));
        row.panel->Layout();
    }
}
