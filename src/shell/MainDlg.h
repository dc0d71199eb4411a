// The home page: the language chooser and the four entries (connected scanners,
// model catalogue, command page, batch upgrade).
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <vector>

class CMainDlg : public CHarbrekBaseDlg {
public:
    explicit CMainDlg(wxWindow* parent);
    ~CMainDlg() override;

    void ApplyUiTexts() override;

    // Takes the chooser's item `index` as the current language (as a selection by the user).
    bool SelectLanguage(int index);
    // The entries whose pages exist yet; the others stay disabled.
    void EnableEntry(int request, bool enable);

    wxChoice* GetLanguageChooser() const { return m_cmbLanguage; }

private:
    struct SEntry {
        int request;
        const char* textId;
        const char* fallback;
        const char* picture;  // empty: text only
        wxButton* button = nullptr;
        wxBitmapButton* pictureButton = nullptr;
    };

    void CreateControls();
    wxSizer* CreateEntry(SEntry& entry);
    void FillLanguageChooser();
    void OnLanguageChanged(wxCommandEvent& event);
    void PostNavigate(int request);

    wxStaticBitmap* m_picLogo = nullptr;
    wxStaticText* m_txtCaption = nullptr;
    wxStaticText* m_txtLanguage = nullptr;
    wxChoice* m_cmbLanguage = nullptr;
    std::vector<SEntry> m_entries;
};
