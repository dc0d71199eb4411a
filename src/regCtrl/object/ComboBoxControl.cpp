#include "ComboBoxControl.h"

#include "CmdNameXmlInfo.h"
#include "SettingsListItem.h"

#include <wx/choice.h>

#include <cstdint>

namespace {

void* EncodeItemValue(int32_t value)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(value));
}

int32_t ItemValueAt(const wxChoice& choice, unsigned int index)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(choice.GetClientData(index)));
}

}  // namespace

bool CComboBoxControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* choice = new wxChoice(ParentWnd, wxID_ANY);
    ApplyPageFont(choice);
    ValueWnd = choice;
    CreateHint(Command->GetDefaultText(false, 0));
    FillItems(ReadDecimal(Command->Value));
    SelectValue(ReadDecimal(Command->Value));
    // Only a new selection commits; GTK sizes the pop-up list to its entries itself.
    choice->Bind(wxEVT_CHOICE, &CComboBoxControl::OnSelectionChanged, this);
    Layout();
    return true;
}

wxChoice* CComboBoxControl::GetChoice() const
{
    return static_cast<wxChoice*>(ValueWnd.get());
}

void CComboBoxControl::FillItems(int32_t currentValue)
{
    const std::vector<wxString> offered = SplitListValues(Command->DeviceSettingsList);
    const std::vector<wxString> hidden = SplitListValues(Command->UnSupportSettingsList);
    wxChoice* choice = GetChoice();
    for (const SSettingsListItem& item : ParseValueFirstList(Command->SettingsList)) {
        const bool shown = ListContains(hidden, item.ItemValueText) ? item.ItemValue == currentValue
                                                                    : ListContains(offered, item.ItemValueText);
        if (shown)
            choice->Append(item.ItemLabel, EncodeItemValue(item.ItemValue));
    }
}

void CComboBoxControl::SelectValue(int32_t value)
{
    wxChoice* choice = GetChoice();
    if (!choice)
        return;
    for (unsigned int i = 0; i < choice->GetCount(); ++i) {
        if (ItemValueAt(*choice, i) == value) {
            choice->SetSelection(static_cast<int>(i));
            return;
        }
    }
    AdoptFirstItem();
}

void CComboBoxControl::AdoptFirstItem()
{
    wxChoice* choice = GetChoice();
    if (choice->IsEmpty())
        return;
    choice->SetSelection(0);
    const wxString value = wxString::Format("%d", ItemValueAt(*choice, 0));
    Command->Default = value;
    Command->Value = value;
    Command->DeviceValue = value;
}

void CComboBoxControl::Refresh(int mode)
{
    if (!Command)
        return;
    switch (mode) {
    case 0:
        SelectValue(ReadDecimal(Command->DeviceValue));
        break;
    case 1:
        SelectValue(ReadDecimal(Command->Default));
        break;
    case 2:
        SelectValue(ReadDecimal(Command->Value));
        break;
    default:
        break;
    }
}

void CComboBoxControl::OnSelectionChanged(wxCommandEvent& event)
{
    event.Skip();
    wxChoice* choice = GetChoice();
    const int selection = choice ? choice->GetSelection() : wxNOT_FOUND;
    if (selection == wxNOT_FOUND)
        return;
    const wxString value = wxString::Format("%d", ItemValueAt(*choice, static_cast<unsigned int>(selection)));
    const wxString label = choice->GetString(static_cast<unsigned int>(selection));
    Command->SetValue(value, &label);
}
