#include "GroupNameControl.h"

#include "GroupCaptionPanel.h"
#include "app/UiText.h"
#include "model/GroupNameXmlInfo.h"

bool CGroupNameControl::Create()
{
    if (!ParentWnd || !Group)
        return false;
    auto* panel = new CGroupCaptionPanel(ParentWnd, GroupCaption());
    ApplyPageFont(panel);
    panel->SetFont(panel->GetFont().Bold());
    panel->SetExpandedQuery([this] { return Group->Expanded != 0; });
    panel->SetToggleHandler([this] { ToggleGroup(); });
    ValueWnd = panel;
    Layout();
    return true;
}

wxString CGroupNameControl::GroupCaption() const
{
    return Group->langID.empty() ? Group->Caption : GetUiText(Group->langID, Group->Caption);
}

CGroupCaptionPanel* CGroupNameControl::GetCaptionPanel() const
{
    return static_cast<CGroupCaptionPanel*>(ValueWnd.get());
}

void CGroupNameControl::Layout()
{
    const SControlRect row = RowRect();
    PlaceWidget(GetCaptionPanel(), row.left + 10, row.top, row.right - 10, row.bottom);
}

void CGroupNameControl::SetManyGroups(bool manyGroups)
{
    m_manyGroups = manyGroups;
    if (CGroupCaptionPanel* panel = GetCaptionPanel())
        panel->SetCollapsible(manyGroups);
    if (!manyGroups && Group && !Group->Expanded)
        Group->SetExpanded(true);
}

void CGroupNameControl::ToggleGroup()
{
    if (!Group || !m_manyGroups)
        return;
    Group->SetExpanded(Group->Expanded == 0);
    if (CGroupCaptionPanel* panel = GetCaptionPanel())
        panel->Refresh();
}
