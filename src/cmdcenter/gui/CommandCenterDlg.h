// The command terminal window: an input box with the commands typed before, the
// check boxes that choose how commands go out and how lines are shown, and the
// transcript pane. The worker of CCommandCenterSession does all device I/O; its
// lines reach the pane through events, a whole batch per event, so the window stays
// responsive however fast the scanner talks.
#pragma once

#include "cmdcenter/CommandCenterSession.h"
#include "cmdcenter/Transcript.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <memory>
#include <mutex>
#include <vector>

class CCommandCenterDlg : public CHarbrekBaseDlg {
public:
    enum {
        ID_LABEL_CMD = 1036,
        ID_INPUT = 1019,
        ID_SEND = 1020,
        ID_SHOW_TAGS = 1028,
        ID_HEX_SEND = 1137,
        ID_HEX_DISPLAY = 1032,
        ID_DATA_PACKING = 1033,
        ID_PACK_COMMAND = 1138,
        ID_EXPAND = 1030,
        ID_CLEAR = 1034,
        ID_SAVE = 1035,
        ID_PANE = 1136
    };

    // `link` null: the scanner the link manager has open.
    explicit CCommandCenterDlg(wxWindow* parent, std::unique_ptr<ITerminalLink> link = nullptr);
    ~CCommandCenterDlg() override;

    void ApplyUiTexts() override;

    // The page became visible or the link was opened: when the link is open, unread
    // input is dropped, the reader starts and sending is enabled.
    void RefreshLinkState();
    // The page is hidden or the link is about to close: the reader stops and
    // returns once it no longer uses the link; sending is disabled.
    void StopReading();

    // Send (1020): queues the input box's text.
    void SendInput();
    void Clear();
    // Writes the transcript to `path`; false when it cannot be written.
    bool SaveTranscript(const wxString& path) const;
    // Takes one line or mode change from the worker (any thread); the pane shows it
    // with everything else that arrived before the window got to it.
    void AcceptOutput(const STerminalOutput& output);
    // Shows what the worker has handed over so far (the event does the same).
    void ShowPendingOutput();

    CCommandCenterSession& Session() { return *m_session; }
    const CTranscript& GetTranscript() const { return m_transcript; }
    bool IsInLineTerminal() const { return m_lineTerminal; }
    wxTextCtrl* GetPane() const { return m_pane; }
    wxComboBox* GetInput() const { return m_input; }
    // Enter on the pane's last line in line-terminal mode.
    void FinishTerminalLine();

private:
    void CreateControls();
    wxCheckBox* AddCheckBox(wxSizer* row, int id, bool checked);
    void BindOptions();
    void LoadHistory();
    void SaveHistory();
    void LoadSymbologies();
    void EnableSending(bool enable);
    // False, after saying which characters are wrong, when hex send cannot send `command`.
    bool RefuseInvalidHex(const wxString& command);
    void AppendToPane(const wxString& text);
    void EnterLineTerminal();
    void LeaveLineTerminal();
    void OnHexSendChanged();
    void OnSaveClicked();
    void OnPaneKeyDown(wxKeyEvent& event);
    void OnPaneChar(wxKeyEvent& event);
    bool CaretOnLastLine(bool deletingBackwards) const;

    std::unique_ptr<ITerminalLink> m_link;
    std::unique_ptr<CCommandCenterSession> m_session;
    CTranscript m_transcript;
    std::mutex m_outputMutex;
    std::vector<STerminalOutput> m_output;  // handed over by the worker, not shown yet
    bool m_lineTerminal = false;
    long m_lineStart = 0;  // pane position where the line being typed begins

    wxStaticText* m_lblCommand = nullptr;
    wxComboBox* m_input = nullptr;
    wxButton* m_btnSend = nullptr;
    wxCheckBox* m_chkTags = nullptr;
    wxCheckBox* m_chkHexSend = nullptr;
    wxCheckBox* m_chkHexDisplay = nullptr;
    wxCheckBox* m_chkDataPacking = nullptr;
    wxCheckBox* m_chkPackCommand = nullptr;
    wxCheckBox* m_chkExpand = nullptr;
    wxButton* m_btnClear = nullptr;
    wxButton* m_btnSave = nullptr;
    wxTextCtrl* m_pane = nullptr;
};
