// The command page: choose a port and its line settings, open it, and talk to the
// scanner in the command terminal below; the stored-data panel under it fetches
// what a batch-mode scanner kept. The upgrade buttons appear as "server.cfg"
// says.
#pragma once

#include "UI/gui/WindowJobs.h"

#include "cmdcenter/TerminalPorts.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>

#include <vector>

class CBatchDataDlg;
class CCommandCenterDlg;

class CCmdDlg : public CHarbrekBaseDlg {
public:
    explicit CCmdDlg(wxWindow* parent);
    ~CCmdDlg() override;

    void ApplyUiTexts() override;

    // Lists the ports anew; the selection stays on the same port when it is still there.
    void RefreshPorts();
    // Opens the selected port with the chosen line settings; false (with a message)
    // when it cannot be opened.
    // Queues the open of the chosen port (false when none is chosen); the page shows
    // the result when the line has done it.
    bool OpenPort();
    // Queues the close; the buttons follow when it is done.
    void ClosePort();
    // True while an open or close of this page is on its way.
    bool IsWaitingForLine() const;
    bool SelectPort(const wxString& label);

    CCommandCenterDlg* GetTerminal() const { return m_terminal; }
    CBatchDataDlg* GetBatchPanel() const { return m_batch; }
    wxButton* GetOpenButton() const { return m_btnOpen; }
    wxButton* GetUpgradeButton() const { return m_btnUpgrade; }
    wxButton* GetBatchUpgradeButton() const { return m_btnBatchUpgrade; }
    // The firmware upgrade of the open scanner, and the batch upgrade; both wait for
    // the firmware dialogs.
    void OnUpgradeOne();
    void OnUpgradeBatch();

private:
    void OnPortOpened(const STerminalPort& port, bool opened, uint32_t status);
    void CreateControls();
    wxChoice* AddSetting(wxSizer* row, wxStaticText*& label, const wxArrayString& choices, int initial);
    void ShowUpgradeButtons();
    void UpdateLineSettingsEnabled();
    void UpdateOpenCloseEnabled();
    SerialSettings ChosenLineSettings() const;
    const STerminalPort* SelectedPort() const;

    std::vector<STerminalPort> m_ports;
    wxStaticText* m_lblPort = nullptr;
    wxStaticText* m_lblBaud = nullptr;
    wxStaticText* m_lblDataBits = nullptr;
    wxStaticText* m_lblStopBits = nullptr;
    wxStaticText* m_lblParity = nullptr;
    wxChoice* m_cboPort = nullptr;
    wxChoice* m_cboBaud = nullptr;
    wxChoice* m_cboDataBits = nullptr;
    wxChoice* m_cboStopBits = nullptr;
    wxChoice* m_cboParity = nullptr;
    wxButton* m_btnOpen = nullptr;
    wxButton* m_btnClose = nullptr;
    wxButton* m_btnRefresh = nullptr;
    wxButton* m_btnUpgrade = nullptr;
    wxButton* m_btnBatchUpgrade = nullptr;
    CCommandCenterDlg* m_terminal = nullptr;
    CWindowJobs m_jobs;
    CBatchDataDlg* m_batch = nullptr;
};
