// What both comparison panels share: the two check boxes that choose which rows
// are listed, select all, clone, and the list that a fill under the wait dialog
// rebuilds.
#pragma once

#include "config/CompareRows.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/checkbox.h>

class CCompareListCtrl;
class wxBoxSizer;
class wxButton;

class CCompareBaseDlg : public CHarbrekBaseDlg {
public:
    enum {
        ID_SHOW_UNMATCHED = 1037,
        ID_SHOW_MATCHED = 1038,
        ID_SELECT_ALL = 1040,
        ID_CLONE = 1021,
        ID_BROWSE = 1121
    };

    void ApplyUiTexts() override;

    // Rebuilds the list with the check boxes as they are. False when the panel
    // cannot compare yet (the user has been told why).
    virtual bool Fill();
    void SelectAll();
    // Takes the reference values of the ticked rows, then fills again.
    void Clone();

    CCompareListCtrl* GetList() const { return m_list; }
    wxCheckBox* GetCheckBox(int id) const { return id == ID_SHOW_MATCHED ? m_showMatched : m_showUnmatched; }
    wxButton* GetButton(int id) const;

protected:
    explicit CCompareBaseDlg(wxWindow* parent);
    // Makes the widgets; `referenceTitle` heads the reference column.
    void CreateControls(const wxString& referenceTitle);
    // Where a panel adds widgets of its own to the row of buttons.
    virtual void AddExtraControls(wxBoxSizer* /*buttons*/) {}

    // The rows to list; runs on the wait dialog's worker, so it touches no window.
    virtual std::vector<SCompareRow> ComputeRows(bool showUnmatched, bool showMatched) const = 0;
    virtual void CloneRows(const std::vector<CCmdNameXmlInfo*>& ticked) = 0;
    // True when a change of a check box may fill now; otherwise the panel tells the user.
    virtual bool ReadyToFill() { return true; }

    void RunFill();
    void UpdateButtons();

private:
    wxString HeaderText() const;
    void OnCheckBox(wxCommandEvent& event);

    wxString m_referenceTitle;
    wxCheckBox* m_showUnmatched = nullptr;
    wxCheckBox* m_showMatched = nullptr;
    wxButton* m_selectAll = nullptr;
    wxButton* m_clone = nullptr;
    CCompareListCtrl* m_list = nullptr;
};
