// The image capture panel of an imaging scanner's page: the scanner's image
// options, one or repeated captures into a strip of thumbnails, saving, and the
// region of interest drawn on the picture that becomes the decode-area settings.
#pragma once

#include "HarbrekBaseDlg.h"
#include "ImageCapture.h"
#include "TaskProgress.h"

#include <wx/image.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class CImageView;
class wxActivityIndicator;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxGauge;
class wxImageList;
class wxListCtrl;
class wxListEvent;
class wxStaticText;
class wxTextCtrl;

// One picture taken while the panel is open.
struct SCapturedImage {
    wxImage picture;
    wxString name;  // local time of capture, "%04d%02d%02d%02d%02d%02d"
    int type = 0;
    bool saved = false;
};

class CImageDlg : public CHarbrekBaseDlg {
public:
    explicit CImageDlg(wxWindow* parent);
    ~CImageDlg() override;

    // Discovery, once per opening: asks the scanner what it can capture and fills
    // the option menus. False when no capture is possible.
    bool Start();
    bool IsStarted() const { return m_started; }

    void ApplyUiTexts() override;

    // The pictures of the strip, oldest first.
    const std::vector<SCapturedImage>& GetImages() const { return m_images; }
    // Adds a picture as a capture would; true when `file` decodes.
    bool AddCapturedFile(const SImageFile& file, int type);
    // The region of interest becomes the decode-area settings of the current mode.
    bool UpdateDecodeArea();
    CImageView* GetView() const { return m_view; }
    // Saves the selected picture where auto save would (or the chosen folder).
    bool SaveSelected(const wxString& folder);

    // Ends image capture on this panel: repeated capture stops and a picture on its way
    // is given up within a fraction of a second, so that the scanner is free for the
    // rest of the program. Returns at once; the worker ends by itself.
    void StopCapture();
    bool IsCapturing() const { return m_workerRunning; }

    // The process-wide switch of the repeated capture: set by the check box, read by
    // the worker between cycles.
    static std::atomic<bool>& AutoGetFlag();
    // The folder auto save writes to.
    static wxString AutoSaveFolder();
    // The strip keeps this many pictures; older ones leave it as new ones come.
    static constexpr size_t kMaxStripImages = 32;

private:
    void CreateControls();
    wxSizer* CreateOptionColumn();
    void FillOptionMenus();
    void FillFormatMenus();
    void UpdateOptionStates();
    SImageChoice CurrentChoice() const;

    void OnGet(wxCommandEvent& event);
    void OnAutoGet(wxCommandEvent& event);
    void OnAutoSave(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnManage(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnTypeChanged(wxCommandEvent& event);
    void OnRoiNew(wxCommandEvent& event);
    void OnRoiUpdate(wxCommandEvent& event);
    void OnRoiClose(wxCommandEvent& event);
    void OnThumbnailSelected(wxListEvent& event);
    void OnThumbnailActivated(wxListEvent& event);
    void OnProgressTimer(wxTimerEvent& event);

    void StartCapture(bool repeat);
    void CaptureLoop(SImageChoice choice, bool repeat, long intervalMs);
    // Waits out the interval between repeated captures; false when capture was stopped.
    bool WaitBetweenCaptures(long intervalMs);
    bool KeepCapturing(bool repeat) const { return repeat && AutoGetFlag() && !m_stopCapture; }
    void OnCaptureDone(bool ok, const SImageFile& file, int type);
    void OnWorkerEnded();
    void JoinWorker();
    void ShowPicture(size_t index);
    void RefreshStrip();
    wxString UniqueName(const wxString& base) const;
    // The region of interest from the current decode-area values, in full-size pixels.
    void LoadRoiFromSettings();
    void ShowRoiOnPicture();
    void SetRoiButtons();

    CImageCapture m_capture;
    bool m_started = false;
    std::vector<SCapturedImage> m_images;
    int m_selected = -1;
    int m_captureFormat = 0;

    // Region of interest in full-size pixels; empty when none.
    SImageRect m_roi;

    std::thread m_worker;
    std::atomic<bool> m_workerRunning{false};
    std::atomic<bool> m_stopCapture{false};
    std::mutex m_wakeMutex;  // with m_wake, ends the wait between pictures at a stop
    std::condition_variable m_wake;
    wxTimer m_progressTimer;

    wxChoice* m_cmbType = nullptr;
    wxChoice* m_cmbRatio = nullptr;
    wxChoice* m_cmbFormat = nullptr;
    wxChoice* m_cmbQuality = nullptr;
    wxButton* m_btnGet = nullptr;
    wxButton* m_btnClose = nullptr;
    wxCheckBox* m_chkAutoGet = nullptr;
    wxTextCtrl* m_txtInterval = nullptr;
    wxCheckBox* m_chkAutoSave = nullptr;
    wxStaticText* m_txtSavePath = nullptr;
    wxButton* m_btnSave = nullptr;
    wxButton* m_btnManage = nullptr;
    wxStaticText* m_txtSize = nullptr;
    wxButton* m_btnRoiNew = nullptr;
    wxButton* m_btnRoiUpdate = nullptr;
    wxButton* m_btnRoiClose = nullptr;
    wxGauge* m_progress = nullptr;
    wxStaticText* m_txtProgress = nullptr;  // bytes of the picture and time left
    CTaskProgress m_captureProgress;
    std::atomic<std::chrono::steady_clock::time_point> m_captureStart{};
    wxActivityIndicator* m_busy = nullptr;
    CImageView* m_view = nullptr;
    wxListCtrl* m_strip = nullptr;
    wxImageList* m_thumbnails = nullptr;
    std::vector<std::pair<wxWindow*, const char*>> m_texts;  // window, text identifier
};
