// The panel of a LICENSECODE setting: the two flags, the chosen fields and
// separators, the value text they make and what the scanner would send for our
// sample card. Every change made here becomes the setting's value at once.
#pragma once

#include "dlicense/LicenseCode.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

class CCmdNameXmlInfo;
class wxButton;

class CLicenseCodeDlg : public CHarbrekBaseDlg {
public:
    enum { ID_ADVANCED = 1201, ID_EXTRACTION, ID_DRIVER_INFO, ID_CLEAR };

    // `setting` null: the panel edits a selection of its own and commits nothing.
    CLicenseCodeDlg(wxWindow* parent, CCmdNameXmlInfo* setting);

    void ApplyUiTexts() override;

    // Shows the selection a value stands for (a malformed value shows none).
    void ShowValue(const wxString& value);
    // Replaces the selection (as the picker's OK does) and commits it.
    void TakeSelection(const std::vector<SLicenseEntry>& entries);
    // Opens the picker on the current selection.
    void OpenPicker();
    // Sends "DLPCLR" to the scanner; on success the selection and flags are emptied.
    void ClearOnScanner();

    const CLicenseCode& GetCode() const { return m_code; }
    wxCheckBox* GetFlag(int id) const { return id == ID_ADVANCED ? m_advanced : m_extraction; }
    wxString GetValueText() const { return m_valueLine->GetValue(); }
    wxString GetPreviewText() const { return m_previewLine->GetValue(); }

private:
    void CreateControls();
    void OnFlag(wxCommandEvent& event);
    // Shows the selection, and commits it when `commit` (the user changed it).
    void ShowSelection(bool commit);

    CCmdNameXmlInfo* m_setting;
    CLicenseCode m_code;
    wxStaticText* m_caption = nullptr;
    wxCheckBox* m_advanced = nullptr;
    wxCheckBox* m_extraction = nullptr;
    wxButton* m_driverInfo = nullptr;
    wxButton* m_clear = nullptr;
    wxListBox* m_list = nullptr;
    wxStaticText* m_valueCaption = nullptr;
    wxStaticText* m_previewCaption = nullptr;
    wxTextCtrl* m_valueLine = nullptr;
    wxTextCtrl* m_previewLine = nullptr;
};
