#include "ComboBoxCustomControl.h"

#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ListControlRules.h"

#include <wx/choice.h>
#include <wx/valtext.h>

#include <algorithm>

namespace {

// Enough digits for every 32-bit value; longer pasted text is cut by the edit.
constexpr unsigned long kMaxCustomDigits = 10;

}  // namespace

CComboBoxCustomControl::~CComboBoxCustomControl()
{
    if (m_edit)
        m_edit->Destroy();
}

bool CComboBoxCustomControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    m_hasCustomEntry = OffersCustomEntry(*Command, CSaveCfg::GetInstance().IsOnline());
    CreateCaption();
    CreateChoice();
    CreateCustomEdit();
    CreateHint(Command->GetDefaultText(true, 0));
    ShowValue(ReadDecimal(Command->Value));
    Layout();
    return true;
}

std::vector<SSettingsListItem> CComboBoxCustomControl::OfferedItems() const
{
    return CustomComboBoxItems(*Command, CSaveCfg::GetInstance().IsOnline(), GetUiText("ID_CUSTOM", "自定义"));
}

void CComboBoxCustomControl::CreateCustomEdit()
{
    m_edit = new wxTextCtrl(ParentWnd, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                            wxTextValidator(wxFILTER_DIGITS));
    ApplyPageFont(m_edit);
    m_edit->SetMaxLength(kMaxCustomDigits);
    m_edit->Bind(wxEVT_TEXT, &CComboBoxCustomControl::OnCustomTextChanged, this);
}

bool CComboBoxCustomControl::IsCustomEntry(unsigned int index) const
{
    return m_hasCustomEntry && index + 1 == GetChoice()->GetCount();
}

void CComboBoxCustomControl::ShowInEdit(int32_t value, bool editable)
{
    if (!m_edit)
        return;
    m_edit->ChangeValue(wxString::Format("%d", value));
    m_edit->Enable(editable);
}

void CComboBoxCustomControl::ShowValue(int32_t value)
{
    wxChoice* choice = GetChoice();
    if (!choice)
        return;
    if (!SelectValue(value)) {
        // Without a custom entry there is nothing to choose for the value; the
        // setting keeps it rather than being rewritten to a list item.
        choice->SetSelection(m_hasCustomEntry ? static_cast<int>(choice->GetCount()) - 1 : wxNOT_FOUND);
    }
    const int selection = choice->GetSelection();
    ShowInEdit(value, selection != wxNOT_FOUND && IsCustomEntry(static_cast<unsigned int>(selection)));
}

void CComboBoxCustomControl::Refresh(int mode)
{
    int32_t value = 0;
    if (Command && ListValueForMode(*Command, mode, value))
        ShowValue(value);
}

void CComboBoxCustomControl::OnItemPicked(unsigned int index)
{
    if (IsCustomEntry(index)) {
        // Picking the entry only opens the edit; the number typed there is the value.
        if (m_edit)
            m_edit->Enable(true);
        return;
    }
    CommitItem(*Command, ItemValueAt(index), ItemLabelAt(index));
    ShowInEdit(ItemValueAt(index), false);
}

void CComboBoxCustomControl::OnCustomTextChanged(wxCommandEvent& event)
{
    event.Skip();
    wxChoice* choice = GetChoice();
    if (!m_edit || !choice || !Command || choice->GetSelection() == wxNOT_FOUND ||
        !IsCustomEntry(static_cast<unsigned int>(choice->GetSelection())))
        return;
    const wxString typed = m_edit->GetValue();
    int32_t number = 0;
    if (ReadCustomNumber(typed, number))
        CommitItem(*Command, number, choice->GetStringSelection() + typed);
}

bool CComboBoxCustomControl::Show(bool show)
{
    if (m_edit)
        m_edit->Show(show);
    return CComboBoxControl::Show(show);
}

void CComboBoxCustomControl::Layout()
{
    CComboBoxControl::Layout();
    if (!m_edit || !ValueWnd)
        return;
    const SControlRect row = RowRect();
    const int32_t w = ColumnWidth(row);
    // Below the list: the lower half of the row, or less where GTK makes the list taller.
    const int32_t top = std::max(row.top + Height / 2, ValueWnd->GetRect().GetBottom() + 1);
    PlaceWidget(m_edit, row.left + w, top, row.left + 2 * w, row.bottom);
}
