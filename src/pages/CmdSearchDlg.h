// The command search: type part of a command name, pick a result, and the
// configuration page shows that setting.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include <vector>

class CCmdNameXmlInfo;

class CCmdSearchDlg : public CHarbrekBaseDlg {
public:
    explicit CCmdSearchDlg(wxWindow* parent);

    void ApplyUiTexts() override;

    // Fills the result list for `text`; an empty text leaves the list as it is.
    void Search(const wxString& text);
    // Whether every word of `query` is found, in any case, in the command name or
    // the caption: "baud" finds "Baud rate", "232 rate" finds it too.
    static bool Matches(const wxString& query, const wxString& commandName, const wxString& caption);
    // Where a chosen result is sent (the configuration page).
    void SetTarget(wxWindow* target) { m_target = target; }
    // Sends the result in `row` to the target and hides the search box.
    void ChooseResult(int row);
    // The keys of the box, wherever its focus is: Down and Up move the marked result
    // (nothing is chosen yet), Enter chooses the marked or the only result, Escape
    // closes. True when the key was the box's; it then goes nowhere else.
    bool HandleKey(int keyCode);

    wxTextCtrl* GetField() const { return m_field; }
    wxListBox* GetResults() const { return m_results; }
    const std::vector<CCmdNameXmlInfo*>& GetFound() const { return m_found; }

    // The one search box of the program: made on first use inside a small floating
    // window of `owner`, shown near the mouse pointer with the focus in its field.
    static CCmdSearchDlg* ShowSearchBox(wxWindow* owner, wxWindow* target);
    // The box if it was made, else null.
    static CCmdSearchDlg* GetSearchBox();

private:
    void OnText(wxCommandEvent& event);
    void OnChoose(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void MoveMark(int step);
    void HideBox();

    wxTextCtrl* m_field;
    wxListBox* m_results;
    std::vector<CCmdNameXmlInfo*> m_found;
    wxWindow* m_target = nullptr;
};
