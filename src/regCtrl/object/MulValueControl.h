// MULVALUE: a list of values (such as the accepted starts of codes) in a panel over
// the whole row: the list, a field for a new value and the buttons that change it.
#pragma once

#include "ControlBase.h"

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <vector>

class wxButton;
class wxCommandEvent;
class wxSizer;

class CMulValueControl : public CControlBase {
public:
    CMulValueControl() { Height = 100; }

    bool Create() override;
    void Layout() override;
    void Refresh(int mode) override;

protected:
    // The buttons this kind of list adds after IDADD and IDDELETE.
    virtual void CreateExtraButtons(wxWindow* panel, wxSizer* buttons);
    // A button named after its text identifier, so that it can be found again.
    wxButton* AddButton(wxWindow* panel, wxSizer* buttons, const char* textId, const char* fallback);

    std::vector<wxString> Entries() const;
    void ShowEntries(const std::vector<wxString>& entries);
    // The list as it is now becomes the setting's value.
    void CommitEntries();
    // Adds the entry when the list takes it; false otherwise.
    bool AddEntry(const wxString& candidate);
    wxString EntryText() const;
    void SetEntryText(const wxString& text);
    int SelectedEntry() const;
    void ReplaceEntry(int index, const wxString& text);

private:
    void OnAdd(wxCommandEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnWhiteList(wxCommandEvent& event);

    // Children of the panel; weak because a page going first takes them with it.
    wxWeakRef<wxListBox> m_list;
    wxWeakRef<wxTextCtrl> m_entry;
};
