#include "GroupRadioControl.h"

#include "GroupFrame.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ListControlRules.h"

#include <wx/radiobut.h>
#include <wx/statbox.h>

namespace {

constexpr int32_t kRadioPitch = 29;

}  // namespace

bool CGroupRadioControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* frame = new wxStaticBox(ParentWnd, wxID_ANY, wxEmptyString);
    ApplyPageFont(frame);
    ValueWnd = frame;
    const std::vector<SSettingsListItem> items = GroupItems(*Command);
    CreateButtons(items);
    Height = RadioGroupHeight(items.size());
    CreateHint(Command->GetDefaultText(false, 0));
    CheckValue(ReadDecimal(Command->Value));
    Layout();
    return true;
}

void CGroupRadioControl::CreateButtons(const std::vector<SSettingsListItem>& items)
{
    bool first = true;
    for (const SSettingsListItem& item : items) {
        // The buttons are the frame's children, so they go with it and form one group.
        auto* button = new wxRadioButton(ValueWnd, wxID_ANY, wxControl::EscapeMnemonics(item.ItemLabel),
                                         wxDefaultPosition, wxDefaultSize, first ? wxRB_GROUP : 0);
        ApplyPageFont(button);
        button->SetClientData(reinterpret_cast<void*>(static_cast<intptr_t>(item.ItemValue)));
        button->Bind(wxEVT_RADIOBUTTON, &CGroupRadioControl::OnButtonClicked, this);
        first = false;
    }
}

std::vector<wxRadioButton*> CGroupRadioControl::GetButtons() const
{
    std::vector<wxRadioButton*> buttons;
    if (!ValueWnd)
        return buttons;
    for (wxWindow* child : ValueWnd->GetChildren()) {
        if (auto* button = dynamic_cast<wxRadioButton*>(child))
            buttons.push_back(button);
    }
    return buttons;
}

void CGroupRadioControl::CheckValue(int32_t value)
{
    for (wxRadioButton* button : GetButtons()) {
        if (GroupButtonValue(*button) == value) {
            button->SetValue(true);
            return;
        }
    }
}

void CGroupRadioControl::Refresh(int mode)
{
    int32_t value = 0;
    if (Command && ListValueForMode(*Command, mode, value))
        CheckValue(value);
}

void CGroupRadioControl::Layout()
{
    CControlBase::Layout();
    if (!ValueWnd)
        return;
    const SControlRect row = RowRect();
    const int32_t w = ColumnWidth(row);
    PlaceWidget(ValueWnd, row.left + w, row.top, row.left + 2 * w, row.bottom - 4);
    int32_t top = kGroupFrameTop;
    for (wxRadioButton* button : GetButtons()) {
        PlaceWidget(button, kGroupFrameMargin, top, w - kGroupFrameMargin, top + kRadioPitch - 2);
        top += kRadioPitch;
    }
}

void CGroupRadioControl::OnButtonClicked(wxCommandEvent& event)
{
    event.Skip();
    auto* button = dynamic_cast<wxRadioButton*>(event.GetEventObject());
    if (button && Command && button->GetValue())
        CommitItem(*Command, GroupButtonValue(*button), button->GetLabelText());
}
