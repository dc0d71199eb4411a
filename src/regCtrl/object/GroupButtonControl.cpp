#include "GroupButtonControl.h"

#include "GroupFrame.h"
#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineWait.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ListControlRules.h"
#include "UI/gui/WaitDlg.h"

#include <wx/button.h>
#include <wx/statbox.h>

#include <algorithm>

namespace {

constexpr int32_t kButtonPitch = 37;

}  // namespace

bool CGroupButtonControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* frame = new wxStaticBox(ParentWnd, wxID_ANY, wxEmptyString);
    ApplyPageFont(frame);
    ValueWnd = frame;
    const std::vector<SSettingsListItem> items = GroupItems(*Command);
    CreateButtons(items);
    Height = ButtonGroupHeight(items.size());
    CreateHint(Command->GetDefaultText(false, 0));
    Layout();
    return true;
}

void CGroupButtonControl::CreateButtons(const std::vector<SSettingsListItem>& items)
{
    for (const SSettingsListItem& item : items) {
        auto* button = new wxButton(ValueWnd, wxID_ANY, wxControl::EscapeMnemonics(item.ItemLabel));
        ApplyPageFont(button);
        button->SetClientData(reinterpret_cast<void*>(static_cast<intptr_t>(item.ItemValue)));
        button->Bind(wxEVT_BUTTON, &CGroupButtonControl::OnButtonClicked, this);
    }
}

std::vector<wxButton*> CGroupButtonControl::GetButtons() const
{
    std::vector<wxButton*> buttons;
    if (!ValueWnd)
        return buttons;
    for (wxWindow* child : ValueWnd->GetChildren()) {
        if (auto* button = dynamic_cast<wxButton*>(child))
            buttons.push_back(button);
    }
    return buttons;
}

void CGroupButtonControl::Layout()
{
    CControlBase::Layout();
    if (!ValueWnd)
        return;
    const SControlRect row = RowRect();
    const int32_t w = ColumnWidth(row);
    PlaceWidget(ValueWnd, row.left + w, row.top, row.left + 2 * w, row.bottom - 4);
    int32_t top = kGroupFrameTop;
    for (wxButton* button : GetButtons()) {
        PlaceWidget(button, kGroupFrameMargin, top, w - kGroupFrameMargin,
                    top + std::max(kButtonPitch - 4, button->GetBestSize().GetHeight()));
        top += kButtonPitch;
    }
}

void CGroupButtonControl::OnButtonClicked(wxCommandEvent& event)
{
    auto* button = dynamic_cast<wxButton*>(event.GetEventObject());
    if (button && Command)
        Execute(GroupButtonValue(*button), button->GetLabelText());
}

void CGroupButtonControl::Execute(int32_t value, const wxString& label)
{
    if (!CSaveCfg::GetInstance().IsOnline()) {
        // Without a scanner the choice is kept like any other, to be written later.
        CommitItem(*Command, value, label);
        return;
    }
    CLineOwner& line = CHBDataStreamMnt::GetInstance().Line();
    if (!MakeWayForLine(line, GetUiText("ID_LINE_ACTION_SEND", "发送此命令")))
        return;
    std::vector<wxString> failed;
    const auto holdingTheLine = [&line](const std::function<bool()>& work) {
        return CWaitDlg::RunWork([&line, &work] {
            CLineHold hold = line.Take(LineUsers::kExchange);
            return work();
        });
    };
    const bool executed = ExecuteOnDevice(*Command, value, label, failed, holdingTheLine);
    if (!executed)
        ShowMessage(FailedCommandsText(failed), wxOK | wxICON_ERROR);
}
