#include "ComboBoxControl.h"

#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ListControlRules.h"

#include <wx/choice.h>

#include <algorithm>
#include <cstdint>

bool CComboBoxControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    CreateChoice();
    CreateHint(Command->GetDefaultText(false, 0));
    SelectOrAdoptFirst(ReadDecimal(Command->Value));
    Layout();
    return true;
}

std::vector<SSettingsListItem> CComboBoxControl::OfferedItems() const
{
    return ComboBoxItems(*Command);
}

void CComboBoxControl::CreateChoice()
{
    auto* choice = new wxChoice(ParentWnd, wxID_ANY);
    ApplyPageFont(choice);
    m_labelsWidth = 0;
    for (const SSettingsListItem& item : OfferedItems()) {
        choice->Append(item.ItemLabel, reinterpret_cast<void*>(static_cast<intptr_t>(item.ItemValue)));
        m_labelsWidth = std::max(m_labelsWidth, choice->GetTextExtent(item.ItemLabel).GetWidth());
    }
    ValueWnd = choice;
    // Only a new selection commits.
    choice->Bind(wxEVT_CHOICE, &CComboBoxControl::OnSelectionChanged, this);
}

void CComboBoxControl::Layout()
{
    CControlBase::Layout();
    // The list is as wide as its longest label with room for the arrow, but never
    // reaches into the hint column; GTK's pop-up list takes the same width.
    wxWindow* choice = ValueWnd;
    if (!choice || m_labelsWidth <= 0)
        return;
    const wxRect placed = choice->GetRect();
    const int width = std::min(m_labelsWidth + kArrowRoom, placed.width);
    choice->SetSize(placed.x, placed.y, width, placed.height);
}

wxChoice* CComboBoxControl::GetChoice() const
{
    return static_cast<wxChoice*>(ValueWnd.get());
}

int32_t CComboBoxControl::ItemValueAt(unsigned int index) const
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(GetChoice()->GetClientData(index)));
}

wxString CComboBoxControl::ItemLabelAt(unsigned int index) const
{
    return GetChoice()->GetString(index);
}

bool CComboBoxControl::SelectValue(int32_t value)
{
    wxChoice* choice = GetChoice();
    if (!choice)
        return false;
    for (unsigned int i = 0; i < choice->GetCount(); ++i) {
        if (ItemValueAt(i) == value) {
            choice->SetSelection(static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void CComboBoxControl::SelectOrAdoptFirst(int32_t value)
{
    wxChoice* choice = GetChoice();
    if (SelectValue(value) || !choice || choice->IsEmpty())
        return;
    choice->SetSelection(0);
    AdoptFirstItem(*Command, ItemValueAt(0));
}

void CComboBoxControl::Refresh(int mode)
{
    int32_t value = 0;
    if (Command && ListValueForMode(*Command, mode, value))
        SelectOrAdoptFirst(value);
}

void CComboBoxControl::OnSelectionChanged(wxCommandEvent& event)
{
    event.Skip();
    wxChoice* choice = GetChoice();
    const int selection = choice ? choice->GetSelection() : wxNOT_FOUND;
    if (selection != wxNOT_FOUND && Command)
        OnItemPicked(static_cast<unsigned int>(selection));
}

void CComboBoxControl::OnItemPicked(unsigned int index)
{
    CommitItem(*Command, ItemValueAt(index), ItemLabelAt(index));
}
