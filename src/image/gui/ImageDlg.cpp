#include "ImageDlg.h"
#include "UI/gui/Accessible.h"

#include "ImageEdit.h"
#include "ImageManageDlg.h"
#include "ImageShowDlg.h"
#include "ImageView.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "device/HBDataStreamMnt.h"
#include "model/CmdNameXmlInfo.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"

#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/datetime.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>

namespace {

constexpr int kThumbWidth = 96;
constexpr int kThumbHeight = 72;
constexpr int kProgressRange = 1000;

struct SNamedNumber {
    int number;
    const char* textId;
    const char* fallback;
};

const SNamedNumber kTypes[] = {{IMAGE_TYPE_REALTIME, "ID_IMAGE_REALTIME", "实时图像"},
                               {IMAGE_TYPE_DECODE, "ID_IMAGE_DECODE", "解码图像"},
                               {IMAGE_TYPE_BARCODE_AREA, "ID_IMAGE_BARCODE_AREA_IMAGE", "条码区域图像"}};
const SNamedNumber kQualities[] = {{0, "ID_IMAGE_LOW", "低"},
                                   {1, "ID_IMAGE_MIDDLE", "中"},
                                   {2, "ID_IMAGE_HIGH", "高"},
                                   {3, "ID_IMAGE_HIGHEST", "最佳"}};

wxString NameOf(const SNamedNumber (&names)[3], int number)
{
    for (const SNamedNumber& name : names)
        if (name.number == number)
            return GetUiText(name.textId, name.fallback);
    return wxString::Format("%d", number);
}

wxString QualityName(int number)
{
    for (const SNamedNumber& name : kQualities)
        if (name.number == number)
            return GetUiText(name.textId, name.fallback);
    return wxString::Format("%d", number);
}

wxString RatioName(int number)
{
    static const char* const kNames[] = {"1:1", "1:4", "1:16"};
    return kNames[number];
}

wxString FormatName(int number)
{
    static const char* const kNames[] = {"", "BMP", "JPEG", "TIFF"};
    return number == IMAGE_FORMAT_RAW ? GetUiText("ID_IMAGE_SRC", "原始数据") : wxString(kNames[number]);
}

// Fills `menu` with the numbers and selects the first (or the last).
template <typename Namer>
void FillMenu(wxChoice* menu, const std::vector<int>& numbers, Namer&& name, bool selectLast = false)
{
    menu->Clear();
    for (int number : numbers)
        menu->Append(name(number), reinterpret_cast<void*>(static_cast<intptr_t>(number)));
    if (!numbers.empty())
        menu->SetSelection(selectLast ? static_cast<int>(numbers.size()) - 1 : 0);
}

int SelectedNumber(const wxChoice* menu, int fallback = 0)
{
    const int selection = menu->GetSelection();
    if (selection == wxNOT_FOUND)
        return fallback;
    return static_cast<int>(reinterpret_cast<intptr_t>(menu->GetClientData(static_cast<unsigned>(selection))));
}

wxString CaptureName(const wxDateTime& when)
{
    return wxString::Format("%04d%02d%02d%02d%02d%02d", when.GetYear(), static_cast<int>(when.GetMonth()) + 1,
                            when.GetDay(), when.GetHour(), when.GetMinute(), when.GetSecond());
}

bool SettingNumber(const wxString& name, int& value)
{
    const CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(name);
    long number = 0;
    if (!definition || !definition->Value.ToLong(&number))
        return false;
    value = static_cast<int>(number);
    return true;
}

// Puts a value into a setting as the user's change, and into its field on screen.
void SetSettingValue(const wxString& name, int value)
{
    CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(name);
    if (!definition)
        return;
    const wxString text = wxString::Format("%d", value);
    definition->SetValue(text);
    // The field shows the chosen value, as after loading a file.
    if (IControlFactory* factory = GetControlFactory(); factory && definition->Control)
        factory->RefreshControl(definition->Control, 2);
}

wxBitmap MakeStripThumbnail(const wxImage& picture)
{
    wxImage canvas(kThumbWidth, kThumbHeight);
    canvas.SetRGB(wxRect(0, 0, kThumbWidth, kThumbHeight), 255, 255, 255);
    const double scale = std::min(static_cast<double>(kThumbWidth) / picture.GetWidth(),
                                  static_cast<double>(kThumbHeight) / picture.GetHeight());
    const int width = std::max(1, static_cast<int>(picture.GetWidth() * scale));
    const int height = std::max(1, static_cast<int>(picture.GetHeight() * scale));
    canvas.Paste(picture.Scale(width, height), (kThumbWidth - width) / 2, (kThumbHeight - height) / 2);
    return wxBitmap(canvas);
}

}  // namespace

std::atomic<bool>& CImageDlg::AutoGetFlag()
{
    static std::atomic<bool> autoGet{false};
    return autoGet;
}

wxString CImageDlg::AutoSaveFolder()
{
    return CAppContext::GetInstance().GetFolder("AutoSave") + wxFILE_SEP_PATH;
}

CImageDlg::CImageDlg(wxWindow* parent) : CHarbrekBaseDlg(parent), m_progressTimer(this)
{
    EnsureImageCodecs();
    CreateControls();
    Bind(wxEVT_TIMER, &CImageDlg::OnProgressTimer, this);
    m_nextPictureTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (KeepCapturing())
            QueueNextPicture();
        else
            OnWorkerEnded();
    });
    UpdateOptionStates();
}

CImageDlg::~CImageDlg()
{
    // A picture on its way is given up; the line drains its rest without this panel.
    StopCapture();
    m_progressTimer.Stop();
}

void CImageDlg::CreateControls()
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(CreateOptionColumn(), 0, wxEXPAND | wxALL, 4);

    auto* pictures = new wxBoxSizer(wxVERTICAL);
    m_view = new CImageView(this);
    m_view->SetSelectionHandler([this] { SetRoiButtons(); });
    m_view->RegisterForArrowKeys();
    pictures->Add(m_view, 1, wxEXPAND);
    m_strip = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(-1, kThumbHeight + 60),
                             wxLC_ICON | wxLC_SINGLE_SEL | wxLC_AUTOARRANGE);
    SetAccessibleName(m_strip, GetUiText("ID_NAME_PICTURE_STRIP", "Pictures taken"), EAccessibleRole::List);
    m_thumbnails = new wxImageList(kThumbWidth, kThumbHeight);
    m_strip->AssignImageList(m_thumbnails, wxIMAGE_LIST_NORMAL);
    m_strip->Bind(wxEVT_LIST_ITEM_SELECTED, &CImageDlg::OnThumbnailSelected, this);
    m_strip->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CImageDlg::OnThumbnailActivated, this);
    pictures->Add(m_strip, 0, wxEXPAND | wxTOP, 4);
    row->Add(pictures, 1, wxEXPAND | wxALL, 4);
    SetSizer(row);
    ApplySharedFont();
}

wxSizer* CImageDlg::CreateOptionColumn()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 4, 4);
    const auto addMenu = [&](const char* textId, const char* fallback, wxChoice*& menu) {
        grid->Add(new wxStaticText(this, wxID_ANY, GetUiText(textId, fallback)), 0, wxALIGN_CENTER_VERTICAL);
        // Named after its text identifier, so that it can be found again.
        menu = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxSize(130, -1), 0, nullptr, 0, wxDefaultValidator,
                            textId);
        grid->Add(menu, 0, wxEXPAND);
    };
    addMenu("ID_IMAGE_TYPE", "图像类型", m_cmbType);
    addMenu("ID_IMAGE_RATIO", "比例", m_cmbRatio);
    addMenu("ID_IMAGE_FORMAT", "格式", m_cmbFormat);
    addMenu("ID_IMAGE_QUALITY", "质量", m_cmbQuality);
    m_cmbType->Bind(wxEVT_CHOICE, &CImageDlg::OnTypeChanged, this);
    m_cmbFormat->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateOptionStates(); });
    column->Add(grid, 0, wxEXPAND);

    m_btnGet = new wxButton(this, wxID_ANY, GetUiText("ID_IMAGE_GET", "获取图像"));
    m_btnGet->Bind(wxEVT_BUTTON, &CImageDlg::OnGet, this);
    m_btnClose = new wxButton(this, wxID_ANY, GetUiText("ID_IMAGE_CLOSE", "关闭"), wxDefaultPosition, wxDefaultSize, 0,
                              wxDefaultValidator, "ID_IMAGE_CLOSE");
    m_btnClose->Bind(wxEVT_BUTTON, &CImageDlg::OnClose, this);
    auto* getRow = new wxBoxSizer(wxHORIZONTAL);
    getRow->Add(m_btnGet, 1);
    getRow->Add(m_btnClose, 1, wxLEFT, 4);
    column->Add(getRow, 0, wxEXPAND | wxTOP, 6);
    m_progress = new wxGauge(this, wxID_ANY, kProgressRange, wxDefaultPosition, wxSize(-1, 12));
    column->Add(m_progress, 0, wxEXPAND | wxTOP, 2);
    m_txtProgress = new wxStaticText(this, wxID_ANY, wxString());
    column->Add(m_txtProgress, 0, wxEXPAND | wxTOP, 2);

    auto* autoRow = new wxBoxSizer(wxHORIZONTAL);
    m_chkAutoGet = new wxCheckBox(this, wxID_ANY, GetUiText("ID_IMAGE_AUTO_GET", "自动获取"));
    m_chkAutoGet->Bind(wxEVT_CHECKBOX, &CImageDlg::OnAutoGet, this);
    autoRow->Add(m_chkAutoGet, 0, wxALIGN_CENTER_VERTICAL);
    m_busy = new wxActivityIndicator(this, wxID_ANY, wxDefaultPosition, wxSize(16, 16));
    m_busy->Hide();
    autoRow->Add(m_busy, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 4);
    column->Add(autoRow, 0, wxTOP, 6);
    m_txtCaptureNote = new wxStaticText(this, wxID_ANY, wxEmptyString);
    column->Add(m_txtCaptureNote, 0, wxEXPAND | wxTOP, 2);
    auto* intervalRow = new wxBoxSizer(wxHORIZONTAL);
    intervalRow->Add(new wxStaticText(this, wxID_ANY, GetUiText("ID_IMAGE_AUTOGET_INTERVAL", "间隔(毫秒)")), 0,
                     wxALIGN_CENTER_VERTICAL);
    m_txtInterval = new wxTextCtrl(this, wxID_ANY, "1000", wxDefaultPosition, wxSize(70, -1), 0, wxDefaultValidator,
                                   "ID_IMAGE_AUTOGET_INTERVAL");
    intervalRow->Add(m_txtInterval, 0, wxLEFT, 4);
    column->Add(intervalRow, 0, wxTOP, 2);

    m_chkAutoSave = new wxCheckBox(this, wxID_ANY, GetUiText("ID_IMAGE_AUTO_SAVE", "自动保存"));
    m_chkAutoSave->Bind(wxEVT_CHECKBOX, &CImageDlg::OnAutoSave, this);
    column->Add(m_chkAutoSave, 0, wxTOP, 6);
    m_txtSavePath = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(200, -1),
                                     wxST_ELLIPSIZE_MIDDLE);
    column->Add(m_txtSavePath, 0, wxEXPAND);

    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    m_btnSave = new wxButton(this, wxID_ANY, GetUiText("ID_IMAGE_SAVE", "保存图像"));
    m_btnSave->Bind(wxEVT_BUTTON, &CImageDlg::OnSave, this);
    m_btnManage = new wxButton(this, wxID_ANY, GetUiText("ID_IMAGE_MANAGE", "图像管理"));
    m_btnManage->Bind(wxEVT_BUTTON, &CImageDlg::OnManage, this);
    fileRow->Add(m_btnSave, 1);
    fileRow->Add(m_btnManage, 1, wxLEFT, 4);
    column->Add(fileRow, 0, wxEXPAND | wxTOP, 6);

    auto* sizeRow = new wxBoxSizer(wxHORIZONTAL);
    sizeRow->Add(new wxStaticText(this, wxID_ANY, GetUiText("ID_IMAGE_RESOLUTION", "分辨率")), 0, wxRIGHT, 4);
    m_txtSize = new wxStaticText(this, wxID_ANY, wxEmptyString);  // nothing to tell before a picture
    sizeRow->Add(m_txtSize);
    m_txtUnsaved = new wxStaticText(this, wxID_ANY, wxEmptyString);
    sizeRow->Add(m_txtUnsaved, 0, wxLEFT, 12);
    column->Add(sizeRow, 0, wxTOP, 6);

    auto* roi = new wxStaticBoxSizer(wxVERTICAL, this, GetUiText("ID_IMAGE_ROI", "感兴趣区域"));
    m_btnRoiNew = new wxButton(roi->GetStaticBox(), wxID_ANY, GetUiText("ID_IMAGE_ROI_NEW", "新建"));
    m_btnRoiUpdate = new wxButton(roi->GetStaticBox(), wxID_ANY, GetUiText("ID_IMAGE_ROI_UPDATE", "更新"));
    m_btnRoiClose = new wxButton(roi->GetStaticBox(), wxID_ANY, GetUiText("ID_IMAGE_ROI_CLOSE", "关闭"));
    m_btnRoiNew->Bind(wxEVT_BUTTON, &CImageDlg::OnRoiNew, this);
    m_btnRoiUpdate->Bind(wxEVT_BUTTON, &CImageDlg::OnRoiUpdate, this);
    m_btnRoiClose->Bind(wxEVT_BUTTON, &CImageDlg::OnRoiClose, this);
    roi->Add(m_btnRoiNew, 0, wxEXPAND);
    roi->Add(m_btnRoiUpdate, 0, wxEXPAND | wxTOP, 2);
    roi->Add(m_btnRoiClose, 0, wxEXPAND | wxTOP, 2);
    column->Add(roi, 0, wxEXPAND | wxTOP, 6);
    return column;
}

void CImageDlg::ApplyUiTexts()
{
    // Texts are set as the panel is made; the page is built anew after a language change.
}

bool CImageDlg::Start()
{
    m_started = true;
    m_discovering = true;
    int mode = 0;
    const bool needsAim = SettingNumber("CADENA", mode) && mode == 6;
    auto found = std::make_shared<SDiscovery>();
    m_jobs.Queue(
        LineUsers::kCapture,
        [found, needsAim](CLineJob&) {
            found->ready = found->capture.Discover();
            if (found->ready && needsAim)
                found->aimRead = CImageCapture::ReadAimPoint(found->aim);
            return found->ready;
        },
        [this, found](bool) { OnDiscovered(*found); });
    UpdateOptionStates();
    return true;
}

void CImageDlg::OnDiscovered(const SDiscovery& found)
{
    m_discovering = false;
    m_capture = found.capture;
    FillOptionMenus();
    LoadRoiFromSettings(found.aimRead ? &found.aim : nullptr);
    UpdateOptionStates();
}

void CImageDlg::FillOptionMenus()
{
    const SImageCapability& capability = m_capture.Capability();
    if (!m_capture.IsReady()) {
        for (wxChoice* menu : {m_cmbType, m_cmbRatio, m_cmbFormat, m_cmbQuality})
            menu->Clear();
        return;
    }
    FillMenu(m_cmbType, NamedTypes(capability.types, m_capture.HasBarcodeArea()),
             [](int n) { return NameOf(kTypes, n); });
    FillMenu(m_cmbRatio, NamedRatios(capability.ratios), RatioName);
    FillFormatMenus();
}

void CImageDlg::FillFormatMenus()
{
    const SImageCapability& capability = m_capture.Capability();
    const bool area = SelectedNumber(m_cmbType) == IMAGE_TYPE_BARCODE_AREA;
    FillMenu(m_cmbFormat, NamedFormats(area ? capability.areaFormats : capability.formats), FormatName);
    FillMenu(m_cmbQuality, NamedQualities(area ? capability.areaQualities : capability.qualities), QualityName, true);
}

void CImageDlg::UpdateOptionStates()
{
    const bool ready = m_capture.IsReady() && m_cmbFormat->GetCount() > 0 && m_cmbType->GetCount() > 0;
    const bool capturing = m_workerRunning;
    const bool area = SelectedNumber(m_cmbType) == IMAGE_TYPE_BARCODE_AREA;
    m_cmbType->Enable(ready);
    m_cmbRatio->Enable(ready && !area && m_cmbRatio->GetCount() > 0);
    m_cmbFormat->Enable(ready);
    m_cmbQuality->Enable(ready && SelectedNumber(m_cmbFormat) == IMAGE_FORMAT_JPEG);
    m_btnGet->Enable(ready && !capturing);
    m_btnClose->Enable(capturing);
    m_btnClose->SetToolTip(capturing ? wxString() : GetUiText("ID_IMAGE_CLOSE_IDLE", "没有正在进行的图像获取"));
    m_chkAutoGet->Enable(ready && (!capturing || m_chkAutoGet->IsChecked()));
    const wxString noScanner = GetUiText("ID_IMAGE_NOT_READY", "扫描器没有报告图像选项，无法获取图像");
    m_btnGet->SetToolTip(ready ? wxString() : noScanner);
    m_chkAutoGet->SetToolTip(ready ? wxString() : noScanner);
    const bool hasPicture = m_selected >= 0;
    m_btnSave->Enable(hasPicture);
    m_btnManage->Enable(hasPicture);
    const wxString noPicture = GetUiText("ID_ERROR_IMGGET_NOPIC", "没有图像");
    m_btnSave->SetToolTip(hasPicture ? wxString() : noPicture);
    m_btnManage->SetToolTip(hasPicture ? wxString() : noPicture);
    SetRoiButtons();
}

void CImageDlg::SetRoiButtons()
{
    const bool hasPicture = m_selected >= 0;
    m_btnRoiNew->Enable(hasPicture);
    wxRect selection;
    const bool drawn = m_view->IsSelectionEnabled() && m_view->GetPictureSelection(selection);
    m_btnRoiUpdate->Enable(drawn);
    m_btnRoiClose->Enable(m_view->IsSelectionEnabled());
    m_btnRoiUpdate->SetToolTip(drawn ? wxString() : GetUiText("ID_IMAGE_ROI_DRAW", "先在图像上画出区域"));
}

SImageChoice CImageDlg::CurrentChoice() const
{
    SImageChoice choice;
    choice.type = SelectedNumber(m_cmbType);
    choice.ratio = SelectedNumber(m_cmbRatio);
    choice.format = SelectedNumber(m_cmbFormat);
    choice.quality = SelectedNumber(m_cmbQuality);
    return choice;
}

void CImageDlg::OnTypeChanged(wxCommandEvent&)
{
    FillFormatMenus();
    UpdateOptionStates();
}

void CImageDlg::OnGet(wxCommandEvent&)
{
    StartCapture(false);
}

void CImageDlg::OnAutoGet(wxCommandEvent&)
{
    AutoGetFlag() = m_chkAutoGet->IsChecked();
    if (m_chkAutoGet->IsChecked() && !m_workerRunning)
        StartCapture(true);
}

// The panel lives inside a settings page, so there is no capture window to close:
// what a user means by closing it is "stop taking pictures", which frees the scanner
// for the rest of the program. The pictures of the strip stay, as they may not be saved
// yet; the picture viewer and editor are modal and close on their own.
void CImageDlg::OnClose(wxCommandEvent&)
{
    StopCapture();
    m_chkAutoGet->SetValue(false);
    m_btnClose->Enable(false);
}

void CImageDlg::StopCapture()
{
    AutoGetFlag() = false;
    m_nextPictureTimer.Stop();
    if (!m_captureState)
        return;
    m_captureState->stop = true;
    // The rest of the picture is drained now: whoever needs the line waits for that
    // in its turn, rather than being asked whether to stop a capture that has stopped.
    CHBDataStreamMnt::GetInstance().Line().ForgetStopRequest(LineUsers::kCapture);
    if (m_workerRunning && !m_jobs.IsBusy())
        OnWorkerEnded();  // it was only waiting between pictures
}

void CImageDlg::StartCapture(bool repeat)
{
    if (m_workerRunning || !m_capture.IsReady())
        return;
    long interval = 0;
    if (!m_txtInterval->GetValue().Trim().ToLong(&interval) || interval < 0)
        interval = 0;  // an empty box captures back to back
    m_captureState = std::make_shared<SCaptureState>();
    m_repeat = repeat;
    m_intervalMs = interval;
    m_choice = CurrentChoice();
    m_txtCaptureNote->SetLabel(wxEmptyString);
    m_workerRunning = true;
    m_progress->SetValue(0);
    m_progressTimer.Start(50);
    if (repeat) {
        m_busy->Show();
        m_busy->Start();
        Layout();
    }
    UpdateOptionStates();
    QueueNextPicture();
}

void CImageDlg::QueueNextPicture()
{
    auto state = m_captureState;
    auto file = std::make_shared<SImageFile>();
    const SImageChoice choice = m_choice;
    m_jobs.Queue(
        LineUsers::kCapture,
        [state, file, choice, capture = m_capture](CLineJob& job) mutable {
            // A part that needs the line meanwhile may ask this capture to stop: the
            // picture on its way is the user's and is finished and kept, and auto
            // capture takes no next one.
            job.SetStopRequest([state] {
                state->yielded = true;
                AutoGetFlag() = false;
            });
            if (state->stop)
                return false;
            // The read learns the picture's size from its header and counts its bytes here.
            WatchThisThreadsTask(&state->progress);
            state->progress.Start(0);
            state->start = std::chrono::steady_clock::now();
            const bool ok = capture.Capture(choice, *file, &state->stop);
            WatchThisThreadsTask(nullptr);
            return ok;
        },
        [this, file, choice](bool ok) { OnPictureEnded(ok, *file, choice.type, choice.format); });
}

void CImageDlg::OnPictureEnded(bool ok, const SImageFile& file, int type, int format)
{
    OnCaptureDone(ok, file, type, format);
    if (!KeepCapturing()) {
        OnWorkerEnded();
        return;
    }
    if (m_intervalMs > 0)
        m_nextPictureTimer.StartOnce(static_cast<int>(m_intervalMs));
    else
        QueueNextPicture();
}

void CImageDlg::OnWorkerEnded()
{
    m_workerRunning = false;
    m_progressTimer.Stop();
    m_progress->SetValue(0);
    m_txtProgress->SetLabel(wxString());
    m_busy->Stop();
    m_busy->Hide();
    if (m_chkAutoGet->IsChecked() && !AutoGetFlag())
        m_chkAutoGet->SetValue(false);
    if (m_captureState && m_captureState->yielded.exchange(false))
        m_txtCaptureNote->SetLabel(GetUiText("ID_IMAGE_CAPTURE_YIELDED", "自动获取已停止：程序的其他部分需要使用设备"));
    UpdateOptionStates();
}

void CImageDlg::OnProgressTimer(wxTimerEvent&)
{
    // Until the picture's header has announced its length the bar only shows that work goes on.
    if (!m_captureState)
        return;
    const SProgressDisplay display = DisplayOf(m_captureState->progress, m_captureState->start.load());
    m_progress->SetValue(display.known ? display.permille : (m_progress->GetValue() + 25) % kProgressRange);
    if (m_txtProgress->GetLabel() != display.text)
        m_txtProgress->SetLabel(display.text);
}

void CImageDlg::OnCaptureDone(bool ok, const SImageFile& file, int type, int format)
{
    if (!ok || !AddCapturedFile(file, type, format))
        return;
    if (m_chkAutoSave->IsChecked())
        SaveSelected(AutoSaveFolder());
}

wxString CImageDlg::UniqueName(const wxString& base) const
{
    // Pictures taken within one second would otherwise overwrite each other's files.
    wxString name = base;
    for (int n = 2; std::any_of(m_images.begin(), m_images.end(), [&](const SCapturedImage& i) { return i.name == name; });
         ++n)
        name = wxString::Format("%s_%d", base, n);
    return name;
}

bool CImageDlg::AddCapturedFile(const SImageFile& file, int type, int format)
{
    SCapturedImage captured;
    if (!DecodeImageFile(file.bytes, captured.picture)) {
        VLOG(LOG_INFO, "captured picture of %u bytes cannot be decoded", static_cast<unsigned>(file.bytes.size()));
        return false;
    }
    captured.name = UniqueName(CaptureName(wxDateTime::Now()));
    captured.type = type;
    captured.format = format;
    if (m_images.size() >= kMaxStripImages) {
        const auto oldestSaved =
            std::find_if(m_images.begin(), m_images.end(), [](const SCapturedImage& image) { return image.saved; });
        if (oldestSaved != m_images.end())
            m_images.erase(oldestSaved);
    }
    m_images.push_back(std::move(captured));
    RefreshStrip();
    ShowPicture(m_images.size() - 1);
    MakeRoomInStrip();
    return true;
}

void CImageDlg::MakeRoomInStrip()
{
    size_t unsavedBytes = 0;
    for (const SCapturedImage& image : m_images) {
        if (!image.saved)
            unsavedBytes += 3 * static_cast<size_t>(image.picture.GetWidth()) * image.picture.GetHeight();
    }
    if (unsavedBytes < kMaxUnsavedBytes || !AutoGetFlag())
        return;
    // The picture on its way, if any, still joins the strip.
    AutoGetFlag() = false;
    m_txtCaptureNote->SetLabel(GetUiText("ID_IMAGE_STRIP_FULL", "未保存的图像已占满内存，请先保存"));
}

wxString CImageDlg::GetCaptureNote() const
{
    return m_txtCaptureNote->GetLabel();
}

wxString CImageDlg::GetUnsavedText() const
{
    return m_txtUnsaved->GetLabel();
}

void CImageDlg::ShowUnsavedCount()
{
    const auto unsaved = std::count_if(m_images.begin(), m_images.end(),
                                       [](const SCapturedImage& image) { return !image.saved; });
    m_txtUnsaved->SetLabel(unsaved == 0 ? wxString()
                                        : wxString::Format(GetUiText("ID_IMAGE_UNSAVED_COUNT", "未保存: %u"),
                                                           static_cast<unsigned>(unsaved)));
}

void CImageDlg::RefreshStrip()
{
    m_strip->DeleteAllItems();
    m_thumbnails->RemoveAll();
    for (size_t i = 0; i < m_images.size(); ++i) {
        const int icon = m_thumbnails->Add(MakeStripThumbnail(m_images[i].picture));
        const long item = m_strip->InsertItem(static_cast<long>(i), m_images[i].name, icon);
        if (m_images[i].saved)
            m_strip->SetItemTextColour(item, wxColour(0, 110, 0));
    }
    ShowUnsavedCount();
}

void CImageDlg::ShowPicture(size_t index)
{
    if (index >= m_images.size())
        return;
    m_selected = static_cast<int>(index);
    const wxImage& picture = m_images[index].picture;
    m_view->SetImage(picture);
    m_txtSize->SetLabel(wxString::Format("%dX%d", picture.GetWidth(), picture.GetHeight()));
    m_strip->SetItemState(static_cast<long>(index), wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_strip->EnsureVisible(static_cast<long>(index));
    ShowRoiOnPicture();
    UpdateOptionStates();
}

void CImageDlg::OnThumbnailSelected(wxListEvent& event)
{
    if (event.GetIndex() != m_selected)
        ShowPicture(static_cast<size_t>(event.GetIndex()));
}

void CImageDlg::OnThumbnailActivated(wxListEvent& event)
{
    if (event.GetIndex() < 0 || static_cast<size_t>(event.GetIndex()) >= m_images.size())
        return;
    CImageShowDlg show(this, m_images[static_cast<size_t>(event.GetIndex())].picture);
    show.ShowModal();
}

void CImageDlg::OnAutoSave(wxCommandEvent&)
{
    m_txtSavePath->SetLabel(m_chkAutoSave->IsChecked()
                                ? GetUiText("ID_IMAGE_AUTO_SAVE_PATH", "保存路径:") + AutoSaveFolder()
                                : wxString());
    m_txtSavePath->SetToolTip(m_txtSavePath->GetLabel());
}

bool CImageDlg::SaveSelected(const wxString& folder)
{
    if (m_selected < 0 || static_cast<size_t>(m_selected) >= m_images.size()) {
        ShowMessage(GetUiText("ID_ERROR_IMGGET_NOPIC", "没有图像"), wxOK | wxICON_WARNING);
        return false;
    }
    SCapturedImage& image = m_images[static_cast<size_t>(m_selected)];
    const wxString path = SaveCapturedImage(image.picture, folder, image.name, image.format);
    if (path.empty()) {
        ShowMessage(GetUiText("ID_ERROR_IMGGET_SAVE", "保存图像失败"), wxOK | wxICON_ERROR);
        return false;
    }
    VLOG(LOG_DETAIL, "image saved: %s", U8(path));
    image.saved = true;
    m_strip->SetItemTextColour(m_selected, wxColour(0, 110, 0));
    ShowUnsavedCount();
    return true;
}

void CImageDlg::OnSave(wxCommandEvent&)
{
    SaveSelected(AutoSaveFolder());
}

void CImageDlg::OnManage(wxCommandEvent&)
{
    if (m_selected < 0)
        return;
    const SCapturedImage& image = m_images[static_cast<size_t>(m_selected)];
    wxRect central;
    const bool hasCentral = m_view->IsSelectionEnabled() && m_view->GetPictureSelection(central);
    CImageManageDlg manage(this, image.picture, hasCentral ? &central : nullptr, image.format);
    manage.ShowModal();
}

void CImageDlg::OnRoiNew(wxCommandEvent&)
{
    m_view->EnableSelection(true);
    m_view->ClearSelection();
    m_view->SetFocus();
    SetRoiButtons();
}

void CImageDlg::OnRoiClose(wxCommandEvent&)
{
    m_view->ClearSelection();
    m_view->EnableSelection(false);
    SetRoiButtons();
}

void CImageDlg::OnRoiUpdate(wxCommandEvent&)
{
    UpdateDecodeArea();
}

bool CImageDlg::UpdateDecodeArea()
{
    wxRect picture;
    const wxImage& shown = m_view->GetImage();
    if (!shown.IsOk() || !m_view->GetPictureSelection(picture))
        return false;
    // Drawn on a reduced picture, the region is scaled up to the scanner's full size;
    // drawn on a barcode area, it is moved to where that area lies.
    m_roi = PictureToFullFrame({picture.GetLeft(), picture.GetTop(), picture.GetRight() + 1, picture.GetBottom() + 1},
                               shown.GetWidth(), shown.GetHeight(), ShownPlacement());
    int mode = 0;
    if (!SettingNumber("CADENA", mode))
        return false;
    if (mode != 6)
        return ApplyDecodeArea(mode, nullptr);
    // Around the aim point: the scanner says where that is, in its turn on the line.
    auto aim = std::make_shared<SAimPoint>();
    m_jobs.Queue(
        LineUsers::kExchange, [aim](CLineJob&) { return CImageCapture::ReadAimPoint(*aim); },
        [this, mode, aim](bool read) { ApplyDecodeArea(mode, read ? aim.get() : nullptr); });
    return true;
}

bool CImageDlg::ApplyDecodeArea(int mode, const SAimPoint* aimRead)
{
    const wxImage& shown = m_view->GetImage();
    if (mode == 6 && !aimRead) {
        ShowMessage(GetUiText("ID_IMAGE_ROI_ERROR", "瞄准灯中心点在界外"), wxOK | wxICON_WARNING);
        return false;
    }
    const SAimPoint aim = aimRead ? *aimRead : SAimPoint();
    const int fullWidth = m_capture.FullWidth() > 0 ? m_capture.FullWidth() : shown.GetWidth();
    const int fullHeight = m_capture.FullHeight() > 0 ? m_capture.FullHeight() : shown.GetHeight();
    DecodeAreaValues values;
    const EDecodeAreaResult result = RoiToDecodeArea(mode, m_roi, fullWidth, fullHeight, aim, values);
    if (result == EDecodeAreaResult::AimOutside) {
        ShowMessage(GetUiText("ID_IMAGE_ROI_ERROR", "瞄准灯中心点在界外"), wxOK | wxICON_WARNING);
        return false;
    }
    if (result == EDecodeAreaResult::ModeWithoutArea) {
        // Otherwise the button would seem to do nothing.
        ShowMessage(GetUiText("ID_IMAGE_ROI_MODE", "请先将解码区域设为图像百分比、像素或瞄准点周围"),
                    wxOK | wxICON_INFORMATION);
        return false;
    }
    for (const auto& [name, value] : values)
        SetSettingValue(name, value);
    return result == EDecodeAreaResult::Changed;
}

void CImageDlg::LoadRoiFromSettings(const SAimPoint* aim)
{
    m_roi = SImageRect();
    int mode = 0;
    if (!SettingNumber("CADENA", mode) || (mode != 1 && mode != 5 && mode != 6))
        return;
    if (mode == 6 && !aim)
        return;
    DecodeAreaToRoi(mode, SettingNumber, m_capture.FullWidth(), m_capture.FullHeight(), aim ? *aim : SAimPoint(),
                    m_roi);
}

void CImageDlg::ShowRoiOnPicture()
{
    const wxImage& shown = m_view->GetImage();
    if (m_roi.IsEmpty() || !shown.IsOk() || m_capture.FullWidth() <= 0 || m_capture.FullHeight() <= 0)
        return;
    const SImageRect inPicture = FullFrameToPicture(m_roi, shown.GetWidth(), shown.GetHeight(), ShownPlacement());
    m_view->EnableSelection(true);
    m_view->SetPictureSelection(wxRect(inPicture.left, inPicture.top, inPicture.right - inPicture.left,
                                       inPicture.bottom - inPicture.top));
}

SPicturePlacement CImageDlg::ShownPlacement() const
{
    const wxImage& shown = m_view->GetImage();
    const bool barcodeArea = m_selected >= 0 && static_cast<size_t>(m_selected) < m_images.size() &&
                             m_images[static_cast<size_t>(m_selected)].type == IMAGE_TYPE_BARCODE_AREA;
    return PlacePicture(shown.GetWidth(), shown.GetHeight(), m_capture.FullWidth(), m_capture.FullHeight(), barcodeArea);
}

wxString CImageDlg::GetSizeText() const
{
    return m_txtSize->GetLabel();
}
