// Upgrades every plugged-in scanner, round after round until stopped: each round
// lists the scanners, decides row by row and downloads into the chosen ones at once,
// one worker thread each. Finished scanners are written to "Firmupdate.ini" and the
// day log. With a configuration file instead of firmware, the file's settings are
// sent to every scanner.
#pragma once

#include "device/DeviceEntry.h"
#include "device/FirmwareBatch.h"
#include "UI/gui/WindowJobs.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <thread>
#include <vector>

class CDeviceBatchUpgradeDlg : public wxDialog {
public:
    // `folder`: where "Time.ini", "Firmupdate.ini", "ufcom.ini" and the day logs are;
    // empty: the program directory.
    explicit CDeviceBatchUpgradeDlg(wxWindow* parent, const wxString& folder = wxString());
    ~CDeviceBatchUpgradeDlg() override;

    void ChooseFile();
    // Takes a firmware or configuration file for the next rounds; a path that is
    // neither is refused with a message and the file in use stays.
    bool TakeFile(const wxString& path);
    void RefreshRows();
    void Start();
    void Stop();
    void ShowLog();
    // One tick of the round timer: starts the listing, the downloads or the next round,
    // and shows the rows' progress and results.
    void Poll();

    bool IsRunning() const { return m_running; }
    // False from Start until every worker of the last round has ended.
    bool CanChooseFile() const { return !m_running && m_phase == EPhase::Idle; }
    // True while a listing or a download is still going on.
    bool IsBusy() const;
    int GetRoundsFinished() const { return m_rounds; }
    wxListCtrl* GetList() const { return m_list; }
    wxTextCtrl* GetFileField() const { return m_txtFile; }
    wxCheckBox* GetMatchBox() const { return m_chkMatch; }
    wxButton* GetStartButton() const { return m_btnStart; }
    wxButton* GetChooseButton() const { return m_btnChoose; }
    wxString GetResultText(long row) const;
    static const char* const kFilter;

private:
    enum EColumn { COL_INDEX, COL_PORT, COL_SERIAL, COL_PRODUCT, COL_VERSION, COL_UPDATE, COL_RESULT };
    enum class EPhase { Idle, Listing, Downloading, Resting };

    void OnFileTyped(wxEvent& event);

    struct SRow {
        std::unique_ptr<DeviceEntry> entry;
        wxString port;
        wxString key;  // in "Firmupdate.ini" and among the unchecked rows
        wxString version;
        HbdsFirmwareProgress progress{};
        std::thread worker;
        std::atomic<bool> ended{false};
        std::atomic<bool> success{false};
        bool started = false;
        bool reported = false;
    };

    void CreateControls();
    void ApplyUiTexts();
    void EnableControls();
    // Runs on the listing thread: no windows.
    // What the listing found, handed from the line's thread to the window.
    struct SListing {
        std::vector<std::unique_ptr<DeviceEntry>> found;
        int portLockMode = -1;
    };
    // The listing's work, a job on the line: no window is touched.
    static bool ListScanners(SListing& listing, const wxString& folder, int delayMs, CLineJob& job);
    void ShowRows();
    void StartRound();
    void StartDownloads();
    void RunFirmwareWorker(SRow& row);
    void RunConfigurationWorker(SRow& row);
    void ReportEndedRows();
    void ShowRowProgress(long index, SRow& row);
    void SetResult(long index, const char* identifier, const char* fallback);
    void JoinAll();
    void OnClose(wxCloseEvent& event);
    // Closing now would cut scanners off half-way: says so and offers to stop the
    // rounds and close once the running downloads have ended.
    void OfferToCloseAfterCurrent();

    wxString m_folder;
    wxString m_file;
    bool m_firmwareMode = true;
    HbdsKernelInfo m_info{};
    // What the rounds since Start work with: the file field may not change it under them.
    wxString m_roundFile;
    HbdsKernelInfo m_roundInfo{};

    wxTextCtrl* m_txtFile = nullptr;
    wxButton* m_btnChoose = nullptr;
    wxCheckBox* m_chkMatch = nullptr;
    wxButton* m_btnRefresh = nullptr;
    wxButton* m_btnStart = nullptr;
    wxButton* m_btnStop = nullptr;
    wxButton* m_btnLog = nullptr;
    wxButton* m_btnClose = nullptr;
    wxListCtrl* m_list = nullptr;
    wxTimer m_timer;

    bool m_running = false;
    bool m_closeWhenIdle = false;
    EPhase m_phase = EPhase::Idle;
    int m_rounds = 0;
    std::chrono::steady_clock::time_point m_restUntil;
    CWindowJobs m_jobs;
    bool m_listed = false;
    std::vector<std::unique_ptr<DeviceEntry>> m_found;
    int m_portLockMode = -1;
    std::vector<std::unique_ptr<SRow>> m_rows;
    std::set<wxString> m_unchecked;  // keys of the rows the user took out
};
