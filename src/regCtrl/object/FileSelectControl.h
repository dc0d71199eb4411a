// FILESELECT: a file path, typed or chosen through the file dialog.
#pragma once

#include "ControlBase.h"

#include <wx/button.h>

class wxCommandEvent;
class wxTextCtrl;

class CFileSelectControl : public CControlBase {
public:
    bool Create() override;
    void Layout() override;
    void Refresh(int mode) override;
    bool Show(bool show) override;
    ~CFileSelectControl() override;

    wxButton* GetBrowseButton() const { return m_browse.get(); }

private:
    wxTextCtrl* GetEdit() const;
    void OnTextChanged(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);

    wxWeakRef<wxButton> m_browse;
};
