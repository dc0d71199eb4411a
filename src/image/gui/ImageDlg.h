// The image capture panel of an imaging scanner's page: the scanner's image
// options, one or repeated captures into a strip of thumbnails, saving, and the
// region of interest drawn on the picture that becomes the decode-area settings.
#pragma once

#include "app/TaskProgress.h"
#include "image/DecodeArea.h"
#include "image/ImageCapture.h"
#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/WindowJobs.h"

#include <wx/image.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <atomic>
#include <chrono>
#include <memory>
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
    int format = 0;  // the format it came in, which its file keeps
    bool saved = false;
};

class CImageDlg : public CHarbrekBaseDlg {
public:
    explicit CImageDlg(wxWindow* parent);
    ~CImageDlg() override;

    // Discovery, once per opening: queues the questions about the scanner's imager; the menus fill when the
    // answers are in (IsDiscovering turns false).
    bool Start();
    bool IsStarted() const { return m_started; }
    bool IsDiscovering() const { return m_discovering; }

    void ApplyUiTexts() override;

    // The pictures of the strip, oldest first.
    const std::vector<SCapturedImage>& GetImages() const { return m_images; }
    // Adds a picture as a capture would; true when `file` decodes.
    bool AddCapturedFile(const SImageFile& file, int type, int format = IMAGE_FORMAT_BMP);
    // The region of interest becomes the decode-area settings of the current mode
    // (around the aim point: once the scanner has said where that is).
    bool UpdateDecodeArea();
    wxString GetSizeText() const;
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
    // Past this many pictures a new one takes the place of the oldest saved one; a
    // picture not saved yet is never given up for a new one...
    static constexpr size_t kMaxStripImages = 32;
    // ...and once the unsaved ones take this much memory, repeated capture stops with
    // a message until some are saved.
    static constexpr size_t kMaxUnsavedBytes = size_t(512) << 20;
    // The note beside the auto-capture box: why repeated capture stopped by itself.
    wxString GetCaptureNote() const;
    // The count of pictures not saved yet, as the panel shows it.
    wxString GetUnsavedText() const;

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
    // One picture, a job on the line; the next is queued when it has ended.
    void QueueNextPicture();
    void OnPictureEnded(bool ok, const SImageFile& file, int type, int format);
    // Waits out the interval between repeated captures; false when capture was stopped.
    bool KeepCapturing() const { return m_repeat && AutoGetFlag() && m_captureState && !m_captureState->stop; }
    void OnCaptureDone(bool ok, const SImageFile& file, int type, int format);
    // Another part needs the line: the picture on its way is finished, then repeated
    // capture ends (called on the asking thread: flags only).
    // Makes room for a new picture and stops repeated capture when unsaved pictures
    // fill their memory.
    void MakeRoomInStrip();
    void ShowUnsavedCount();
    void OnWorkerEnded();
    void ShowPicture(size_t index);
    void RefreshStrip();
    wxString UniqueName(const wxString& base) const;
    // The region of interest from the current decode-area values, in full-size pixels.
    // What the line found out about the imager, handed to the window at the end.
    struct SDiscovery {
        CImageCapture capture;
        bool ready = false;
        bool aimRead = false;
        SAimPoint aim;
    };
    void OnDiscovered(const SDiscovery& found);
    // The region of the settings; `aim` when the decode area is around the aim point.
    void LoadRoiFromSettings(const SAimPoint* aim);
    // Finishes "Update" with the aim point where the mode needs one (null: not read).
    bool ApplyDecodeArea(int mode, const SAimPoint* aim);
    void ShowRoiOnPicture();
    // Where the shown picture lies in the scanner's full frame.
    SPicturePlacement ShownPlacement() const;
    void SetRoiButtons();

    CImageCapture m_capture;
    bool m_discovering = false;
    CWindowJobs m_jobs;
    bool m_started = false;
    std::vector<SCapturedImage> m_images;
    int m_selected = -1;

    // Region of interest in full-size pixels; empty when none.
    SImageRect m_roi;

    // What a capture shares with its jobs on the line, which may outlive the panel
    // (a stopped picture is drained after the page has gone).
    struct SCaptureState {
        std::atomic<bool> stop{false};
        std::atomic<bool> yielded{false};  // another part asked for the line
        CTaskProgress progress;
        std::atomic<std::chrono::steady_clock::time_point> start{};
    };
    std::shared_ptr<SCaptureState> m_captureState;
    bool m_workerRunning = false;  // a capture (one picture or auto) is under way
    bool m_repeat = false;
    long m_intervalMs = 0;
    SImageChoice m_choice;
    wxTimer m_nextPictureTimer;
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
    wxActivityIndicator* m_busy = nullptr;
    wxStaticText* m_txtCaptureNote = nullptr;
    wxStaticText* m_txtUnsaved = nullptr;
    CImageView* m_view = nullptr;
    wxListCtrl* m_strip = nullptr;
    wxImageList* m_thumbnails = nullptr;
    std::vector<std::pair<wxWindow*, const char*>> m_texts;  // window, text identifier
};
