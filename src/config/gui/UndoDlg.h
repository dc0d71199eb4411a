// The configuration history beside the settings area: the pending changes with
// undo, whether a change is also sent to the scanner at once, and the "Quick Config"
// choices from which the settings barcodes of the changes are made.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/WindowJobs.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <functional>
#include <vector>

struct SHistoryEntry;

class CCmdNameXmlInfo;
class CUndoListBox;

// What "GENERATE BAR CODE" last asked of the settings-barcode panel.
struct SQuickConfig {
    enum { SETTINGS_CHANGED, SETTINGS_SELECTED, SETTINGS_CLONE };
    enum { OUTPUT_DISPLAY, OUTPUT_PRINT };
    enum { FAMILY_1D, FAMILY_2D, FAMILY_DM };

    int settings = SETTINGS_CHANGED;
    int output = OUTPUT_DISPLAY;
    int family = FAMILY_1D;
    // Set by "GENERATE BAR CODE"; the panel clears it once it has built from the history.
    bool buildFromHistory = false;

    // The panel's barcode type: 1 for its 1D tab, 2 for the batch tab, 3 for all-in-one.
    int GetBarcodeType() const { return family + 1; }
    bool IsPrintAtOnce() const { return output == OUTPUT_PRINT; }
};

class CUndoDlg : public CHarbrekBaseDlg {
public:
    // Show-setting requests go to `parent`, the configuration page.
    explicit CUndoDlg(wxWindow* parent);
    ~CUndoDlg() override;

    void ApplyUiTexts() override;

    // Gives every pending change its device value back, on the page and in the
    // scanner; the entries stay listed.
    void UndoAll();
    // Asks, when the main window is online and changes are pending, whether to write
    // them before the page is left: Yes writes, No undoes them all. True: the user
    // cancelled and stays.
    bool CheckBeforeLeave(bool mainWindowOnline);
    // Called with the definition after each undo of a single entry.
    void SetUndoNotification(std::function<void(CCmdNameXmlInfo*)> notify) { m_onUndo = std::move(notify); }

    const SQuickConfig& GetQuickConfig() const { return m_quickConfig; }
    void ClearBuildFromHistory() { m_quickConfig.buildFromHistory = false; }

    CUndoListBox* GetListBox() const { return m_list; }
    wxChoice* GetModeChooser() const { return m_cmbMode; }
    wxChoice* GetSettingsChooser() const { return m_cmbSettings; }
    wxChoice* GetOutputChooser() const { return m_cmbOutput; }
    wxChoice* GetFamilyChooser() const { return m_cmbFamily; }
    wxButton* GetGenerateButton() const { return m_btnGenerate; }

private:
    void CreateControls();
    wxSizer* CreateQuickConfig();
    void FillChoosers();
    void UpdateModeTooltip();

    void OnChangesChanged();
    void OnModeChanged(wxCommandEvent& event);
    void OnEntryDoubleClicked(wxCommandEvent& event);
    void OnGenerateBarcode(wxCommandEvent& event);
    std::function<std::vector<SHistoryEntry>()> BarcodeEntrySource() const;

    void UndoEntry(CCmdNameXmlInfo* entry);
    // Shows the scanner's value again, which takes the change off the list.
    static void ShowDeviceValue(CCmdNameXmlInfo& entry);
    // True when the scanner holds the changed value already (it was sent at once), so
    // that the change may go only once the scanner has taken its value back.
    static bool ScannerHasChange(const CCmdNameXmlInfo& entry);
    // Sends the scanner's value back to it; `ended` is told whether it took it.
    void QueueRestore(const CCmdNameXmlInfo& entry, std::function<void(bool)> ended);
    // Takes a change back that the scanner has: the entry goes when it acknowledged.
    void UndoOnScanner(CCmdNameXmlInfo* entry);
    void ReportRefusedRestore(const wxString& commandName);
    static CCmdNameXmlInfo* FindBarcodeSetting();
    void PostShowSetting(CCmdNameXmlInfo* definition);

    wxStaticText* m_txtCaption = nullptr;
    wxChoice* m_cmbMode = nullptr;
    CUndoListBox* m_list = nullptr;
    wxStaticBox* m_boxQuickConfig = nullptr;
    wxStaticText* m_txtSettings = nullptr;
    wxStaticText* m_txtOutput = nullptr;
    wxStaticText* m_txtFamily = nullptr;
    wxChoice* m_cmbSettings = nullptr;
    wxChoice* m_cmbOutput = nullptr;
    wxChoice* m_cmbFamily = nullptr;
    wxButton* m_btnGenerate = nullptr;

    SQuickConfig m_quickConfig;
    std::function<void(CCmdNameXmlInfo*)> m_onUndo;
    CWindowJobs m_jobs;
};
