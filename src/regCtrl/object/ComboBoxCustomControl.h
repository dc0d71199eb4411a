// COMBOBOXCUSTOM: the model's own list of named values, and where the model allows
// it a custom entry whose number is typed into an edit below the list.
#pragma once

#include "ComboBoxControl.h"

#include <wx/textctrl.h>
#include <wx/weakref.h>

class CComboBoxCustomControl : public CComboBoxControl {
public:
    CComboBoxCustomControl() { Height = 60; }
    ~CComboBoxCustomControl() override;

    bool Create() override;
    bool Show(bool show) override;
    void Layout() override;
    void Refresh(int mode) override;

    wxTextCtrl* GetCustomEdit() const { return m_edit.get(); }

protected:
    std::vector<SSettingsListItem> OfferedItems() const override;
    void OnItemPicked(unsigned int index) override;

private:
    void CreateCustomEdit();
    bool IsCustomEntry(unsigned int index) const;
    // Selects the entry of `value`; a value of no entry goes to the custom entry
    // when there is one, so the number stays visible and editable.
    void ShowValue(int32_t value);
    void ShowInEdit(int32_t value, bool editable);
    void OnCustomTextChanged(wxCommandEvent& event);

    wxWeakRef<wxTextCtrl> m_edit;
    bool m_hasCustomEntry = false;
};
