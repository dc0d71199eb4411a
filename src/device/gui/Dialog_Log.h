// Shows one day log of the batch upgrade as a list.
#pragma once

#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>

class CDialog_Log : public wxDialog {
public:
    CDialog_Log(wxWindow* parent, const wxString& folder);

    // The open button: asks for a log file and shows it.
    void ChooseLog();
    // Shows the log at `path`; false (and an empty list) when it cannot be read.
    bool ShowLog(const wxString& path);
    // Shows the log of `day` kept in `programFolder`; a day without upgrades shows an
    // empty list, from which the open button reaches other days.
    bool ShowDayLog(const wxString& programFolder, const wxDateTime& day);
    wxListCtrl* GetList() const { return m_list; }

private:
    wxString m_folder;
    wxListCtrl* m_list = nullptr;
};
