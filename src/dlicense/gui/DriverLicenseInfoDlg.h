// The picker of licence fields: the two lists of data elements and the separator
// list on the left, the selection being built on the right, with the buttons that
// add, remove and move entries.
#pragma once

#include "dlicense/LicenseCode.h"

#include <wx/dialog.h>
#include <wx/listbox.h>

#include <vector>

class CDriverLicenseInfoDlg : public wxDialog {
public:
    enum { ID_ADD = 1101, ID_REMOVE, ID_UP, ID_DOWN };

    CDriverLicenseInfoDlg(wxWindow* parent, const std::vector<SLicenseEntry>& selection);

    // The source list of `kind` (ELicenseEntryKind) and the target list.
    wxListBox* GetSourceList(int kind) const { return m_sources[kind]; }
    wxListBox* GetTargetList() const { return m_target; }
    const std::vector<SLicenseEntry>& GetSelection() const { return m_selection.entries; }

    // Appends what is selected in the source lists, list by list in source order,
    // and clears those selections; refused with a message past 499 entries.
    void AddSelectedSources();
    void RemoveSelectedTarget();
    // Moves the selected target entry one place up (-1) or down (+1).
    void MoveSelectedTarget(int step);

private:
    void CreateControls();
    wxSizer* CreateSourceColumn();
    wxSizer* CreateTargetColumn();
    void ShowTarget(int selected);
    void UpdateMoveButtons();

    wxListBox* m_sources[3] = {nullptr, nullptr, nullptr};
    wxListBox* m_target = nullptr;
    CLicenseCode m_selection;
};
