// Upgrades the firmware of the open scanner: the user picks a file, the download runs
// on a worker thread, and a timer shows each part's steps and the current percent.
#pragma once

#include "hbds/hbds_firmware.h"

#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <atomic>
#include <thread>

struct DeviceEntry;

class CDeviceUpgradeDlg : public wxDialog {
public:
    CDeviceUpgradeDlg(wxWindow* parent, const wxString& deviceName, DeviceEntry* toOpen = nullptr);
    ~CDeviceUpgradeDlg() override;

    // The choose button: asks for a file and takes it when it is firmware.
    void ChooseFile();
    // The update button: checks the file again and starts the download.
    void StartUpdate();
    bool IsRunning() const { return m_busy; }

    wxTextCtrl* GetFileField() const { return m_txtFile; }
    wxTextCtrl* GetLogBox() const { return m_txtLog; }
    wxGauge* GetBar() const { return m_gauge; }
    wxButton* GetUpdateButton() const { return m_btnUpdate; }
    // Shows what the record says now, as the timer does.
    void ShowProgress(const HbdsFirmwareProgress& progress);

    // The filter of the file question.
    static const char* const kFirmwareFilter;

private:
    void CreateControls();
    void ApplyUiTexts();
    void RunDownload();
    void OnTimer(wxTimerEvent& event);
    void Finish();
    void EnableButtons(bool enable);
    void OnClose(wxCloseEvent& event);
    // A download cut off half-way leaves the scanner in its boot mode.
    void TellWhyNotNow();
    // Asks the user on the window's thread for the download thread, and waits.
    int AskFromWorker(const wxString& text, long style);

    wxString m_deviceName;
    DeviceEntry* m_toOpen = nullptr;  // opened by the download, closed after it
    wxTextCtrl* m_txtFile = nullptr;
    wxButton* m_btnChoose = nullptr;
    wxButton* m_btnUpdate = nullptr;
    wxButton* m_btnExit = nullptr;
    wxGauge* m_gauge = nullptr;
    wxTextCtrl* m_txtLog = nullptr;
    wxActivityIndicator* m_indicator = nullptr;
    wxTimer m_timer;

    HbdsFirmwareProgress m_progress{};
    std::thread m_worker;
    std::atomic<bool> m_running{false};  // the worker's flag
    bool m_busy = false;                 // from start until the result is shown
    std::atomic<bool> m_result{false};
    wxString m_file;
    wxString m_shownText;
};
