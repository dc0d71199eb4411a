// COMBOBOX: a setting chosen from the model's list in a drop-down list. The other
// drop-down kinds build on it and differ in which items they offer.
#pragma once

#include "ControlBase.h"
#include "regCtrl/rules/SettingsListItem.h"

#include <cstdint>
#include <vector>

class wxChoice;
class wxCommandEvent;

class CComboBoxControl : public CControlBase {
public:
    bool Create() override;
    void Refresh(int mode) override;
    void Layout() override;

    // Room beside the longest label for the drop-down arrow and the frame.
    static constexpr int kArrowRoom = 60;

protected:
    virtual std::vector<SSettingsListItem> OfferedItems() const;
    // What picking the entry at `index` commits.
    virtual void OnItemPicked(unsigned int index);

    // Makes the drop-down list as ValueWnd, filled with OfferedItems().
    void CreateChoice();
    wxChoice* GetChoice() const;
    int32_t ItemValueAt(unsigned int index) const;
    wxString ItemLabelAt(unsigned int index) const;
    // False when no entry carries `value`; the selection is then left as it was.
    bool SelectValue(int32_t value);

private:
    int m_labelsWidth = 0;  // the longest label in the list's font; 0 for an empty list

    // A value outside the list selects the first item and makes it the setting's.
    void SelectOrAdoptFirst(int32_t value);
    void OnSelectionChanged(wxCommandEvent& event);
};
