// Stands where the command page goes until that page is part of the program: it
// says so, so that the navigation entry leads somewhere honest.
#pragma once

#include "HarbrekBaseDlg.h"

#include <wx/stattext.h>

class CCommandPlaceholderDlg : public CHarbrekBaseDlg {
public:
    explicit CCommandPlaceholderDlg(wxWindow* parent);

    void ApplyUiTexts() override;

private:
    wxStaticText* m_txtNotice = nullptr;
};
