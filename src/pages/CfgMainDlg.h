// The configuration page: the settings of a connected scanner or of a catalogue
// model as tabs of pages, with the buttons that open, save, write to the scanner and
// restore defaults, and the history of pending changes beside them.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include <functional>
#include <map>

class CCfgTitleDlg;
class CCmdNameXmlInfo;
class CUndoDlg;

class CCfgMainDlg : public CHarbrekBaseDlg {
public:
    // Button identifiers.
    enum {
        ID_OPEN = 1023,
        ID_SAVE = 1026,
        ID_SAVE_DEVICE = 1029,
        ID_DEFAULT = 1031,
        ID_LOAD_USER_DEFAULTS = 1032,
        ID_SAVE_USER_DEFAULTS = 1033
    };

    // `online`: the connected scanner's settings (its link is open and the command
    // map filled by the connect sequence); otherwise the current model's, offline.
    // The engine's current model is set before the page is made.
    CCfgMainDlg(wxWindow* parent, bool online);
    ~CCfgMainDlg() override;

    void ApplyUiTexts() override;

    bool IsOnline() const { return m_online; }
    // Ends the work with the scanner or model at once (the values go, a connected
    // scanner is closed) for a page that is taken apart after it has left the screen.
    // The destructor does it when nobody did before.
    void EndWork();
    // The heading beside the buttons: what this page edits ("HBS-HI880 on /dev/ttyACM0").
    void SetEditedScanner(const wxString& text);
    wxString GetEditedScanner() const;
    CCfgTitleDlg* GetSettingsArea() const { return m_settings; }
    CUndoDlg* GetHistory() const { return m_history; }
    wxButton* GetButton(int id) const;

    // The button handlers, callable as if the button had been pressed.
    void OpenFile();
    // True when the pages were written to the file the user chose.
    bool SaveFile();
    void SaveToDevice();
    void RestoreDefaults();
    void LoadUserDefaults();
    void SaveUserDefaults();
    bool ShowSetting(CCmdNameXmlInfo* definition);

    // How the page asks the main window for its main screen (after a link change).
    static void SetMainScreenRequest(std::function<void()> request);

private:
    void CreateButtons(wxSizer* sizer);
    void ReportUnsupportedCommands();
    void ReportFailedWrite();
    void WriteSnapshot();
    void OfferResetDetails(int32_t failures, const wxString& details);
    // Work that talks to the scanner runs under the wait dialog.
    bool RunExchange(const std::function<bool()>& work) const;
    bool SaveConfigurationFile(const wxString& path);
    void RequestMainScreen();
    void OnShowSetting(wxCommandEvent& event);

    bool m_online;
    bool m_workEnded = false;
    CCfgTitleDlg* m_settings = nullptr;
    wxStaticText* m_heading = nullptr;
    CUndoDlg* m_history = nullptr;
    std::map<int, wxButton*> m_buttons;
    wxString m_openedPath;
    bool m_filePending = false;
    wxString m_detailsPath;
};
