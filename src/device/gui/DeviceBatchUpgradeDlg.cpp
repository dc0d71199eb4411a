#include "DeviceBatchUpgradeDlg.h"
#include "UI/gui/Accessible.h"

#include "Dialog_Log.h"
#include "UpgradeDialogs.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "config/SaveCfg.h"
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/WaitDlg.h"

#include <wx/sizer.h>

#include <algorithm>
#include <mutex>

namespace {

// Often enough for the rows' progress to move smoothly.
const int kBatchPollMs = 100;

std::unique_ptr<DeviceEntry> CopyEntry(const DeviceEntry& entry)
{
    auto copy = std::make_unique<DeviceEntry>();
    copy->usb = entry.usb;
    copy->serial = entry.serial;
    copy->kind = entry.kind;
    copy->systemInfo = entry.systemInfo;
    copy->productName = entry.productName;
    copy->serialNumber = entry.serialNumber;
    return copy;
}

bool IsConfigurationPath(const wxString& path)
{
    return path.Find("xml") != wxNOT_FOUND || path.Find("XML") != wxNOT_FOUND;
}

}  // namespace

const char* const CDeviceBatchUpgradeDlg::kFilter =
    "(All Files (*.*)|*.*|*.bin;*.bin2;*.bin3; *.pak;*.pk2;*.nfp;*.efp)|*.bin;*.bin2;*.bin3;*.pak;*.pk2;*.nfp;*.efp|"
    "(*.bin;*.bin2;*.bin3)|*.bin;*.bin2;*.bin3|(*.nfp)|*.nfp|(*.pak;*.pk2)|*.pak;*.pk2|(*.efp)|*.efp";

CDeviceBatchUpgradeDlg::CDeviceBatchUpgradeDlg(wxWindow* parent, const wxString& folder)
    : wxDialog(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_folder(folder.empty() ? CAppContext::GetInstance().GetUserFolders().config : folder), m_timer(this)
{
    OpenHelpOnF1(this);
    m_jobs.ShowBusyOn(this);
    CreateControls();
    ApplyUiTexts();
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
    Bind(wxEVT_CLOSE_WINDOW, &CDeviceBatchUpgradeDlg::OnClose, this);
    EnableControls();
    SetSize(FromDIP(wxSize(900, 520)));
    CentreOnParent();
}

CDeviceBatchUpgradeDlg::~CDeviceBatchUpgradeDlg()
{
    // The field loses the focus while the windows underneath are taken down, after this
    // object has gone: its handler must not run then.
    m_txtFile->Unbind(wxEVT_KILL_FOCUS, &CDeviceBatchUpgradeDlg::OnFileTyped, this);
    m_timer.Stop();
    m_running = false;
    JoinAll();
}

void CDeviceBatchUpgradeDlg::CreateControls()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    m_txtFile = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER);
    m_txtFile->Bind(wxEVT_TEXT_ENTER, &CDeviceBatchUpgradeDlg::OnFileTyped, this);
    m_txtFile->Bind(wxEVT_KILL_FOCUS, &CDeviceBatchUpgradeDlg::OnFileTyped, this);
    SetAccessibleName(m_txtFile, GetUiText("ID_NAME_FIRMWARE_FILE", "Firmware file"));
    m_btnChoose = new wxButton(this, wxID_ANY, wxString());
    m_chkMatch = new wxCheckBox(this, wxID_ANY, wxString());
    fileRow->Add(m_txtFile, 1, wxALIGN_CENTER_VERTICAL);
    fileRow->Add(m_btnChoose, 0, wxLEFT, 8);
    fileRow->Add(m_chkMatch, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 8);
    column->Add(fileRow, 0, wxEXPAND | wxALL, 12);

    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxBORDER_THEME);
    SetAccessibleName(m_list, GetUiText("ID_NAME_SCANNER_LIST", "Scanners"), EAccessibleRole::Table);
    m_list->EnableCheckBoxes(true);
    for (int i = COL_INDEX; i <= COL_RESULT; ++i)
        m_list->AppendColumn(wxString(), wxLIST_FORMAT_LEFT, FromDIP(i == COL_RESULT ? 150 : 110));
    auto toggled = [this](wxListEvent& event) {
        const long index = event.GetIndex();
        if (index < 0 || static_cast<size_t>(index) >= m_rows.size())
            return;
        const wxString key = m_rows[static_cast<size_t>(index)]->key;
        if (m_running)  // the choice is fixed while the rounds run
            m_list->CheckItem(index, m_unchecked.count(key) == 0);
        else if (m_list->IsItemChecked(index))
            m_unchecked.erase(key);
        else
            m_unchecked.insert(key);
    };
    m_list->Bind(wxEVT_LIST_ITEM_CHECKED, toggled);
    m_list->Bind(wxEVT_LIST_ITEM_UNCHECKED, toggled);
    column->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_btnRefresh = new wxButton(this, wxID_ANY, wxString());
    m_btnStart = new wxButton(this, wxID_ANY, wxString());
    m_btnStop = new wxButton(this, wxID_ANY, wxString());
    m_btnLog = new wxButton(this, wxID_ANY, wxString());
    m_btnClose = new wxButton(this, wxID_ANY, wxString());
    m_btnClose->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    m_btnStart->SetDefault();
    CloseOnEscape(this);
    m_btnChoose->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseFile(); });
    m_btnRefresh->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RefreshRows(); });
    m_btnStart->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Start(); });
    m_btnStop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Stop(); });
    m_btnLog->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowLog(); });
    buttons->AddStretchSpacer();
    for (wxButton* button : {m_btnRefresh, m_btnStart, m_btnStop, m_btnLog, m_btnClose})
        buttons->Add(button, 0, wxLEFT, 8);
    column->Add(buttons, 0, wxEXPAND | wxALL, 12);
    SetSizer(column);
}

void CDeviceBatchUpgradeDlg::ApplyUiTexts()
{
    SetTitle(GetUiText("ID_DEVICE_BATCHUPGRADE_CAPTION", "批量升级"));
    m_btnChoose->SetLabel(GetUiText("ID_BATCH_CHOOSE", "选择文件"));
    m_btnChoose->SetToolTip(GetUiText("ID_DEVICE_BATCHUPGRADE_CHOOSE", "选择固件或配置文件"));
    m_chkMatch->SetLabel(GetUiText("ID_BATCH_MATCHFILE", "匹配文件"));
    m_chkMatch->SetToolTip(GetUiText("ID_DEVICE_BATCHUPGRADE_MATCHFILE", "只升级与文件设备名一致的设备"));
    m_btnRefresh->SetLabel(GetUiText("ID_BATCH_REFRESH", "刷新"));
    m_btnStart->SetLabel(GetUiText("ID_BATCH_START", "开始"));
    m_btnStop->SetLabel(GetUiText("ID_BATCH_STOP", "停止"));
    m_btnLog->SetLabel(GetUiText("ID_BATCH_SHOWLOG", "查看日志"));
    m_btnClose->SetLabel(GetUiText("ID_PRINT_CLOSE", "关闭"));
    const std::pair<const char*, const char*> headings[] = {
        {"ID_SERIAL", "序号"},  {"ID_PORT", "端口"},     {"ID_SERIALNUM", "序列号"}, {"ID_PRODUCTNAME", "产品名称"},
        {"ID_VERSION", "版本"}, {"ID_UPDATE", "升级"}, {"ID_RESULT", "结果"}};
    for (int i = COL_INDEX; i <= COL_RESULT; ++i) {
        wxListItem heading;
        heading.SetText(GetUiText(headings[i].first, headings[i].second));
        m_list->SetColumn(i, heading);
    }
}

void CDeviceBatchUpgradeDlg::EnableControls()
{
    const bool idle = !m_running;
    // After Stop the round's workers still download the file they were given.
    m_btnChoose->Enable(CanChooseFile());
    m_txtFile->SetEditable(CanChooseFile());
    m_chkMatch->Enable(CanChooseFile());
    m_btnRefresh->Enable(idle && m_phase == EPhase::Idle);
    m_btnStart->Enable(idle && m_phase == EPhase::Idle && !m_file.empty());
    m_btnStart->SetToolTip(m_file.empty() ? GetUiText("ID_CHOOSE_FILE", "请先选择要操作的文件") : wxString());
    m_btnStop->Enable(m_running);
    m_btnLog->Enable(idle);
}

void CDeviceBatchUpgradeDlg::ChooseFile()
{
    if (!CanChooseFile())
        return;
    SFileQuestion question;
    question.filter = kFilter;
    const wxString path = ::ChooseFile(this, question);
    if (!path.empty())
        TakeFile(path);
}

// A path typed into the field counts once it is finished: Enter, or the focus
// going elsewhere.
void CDeviceBatchUpgradeDlg::OnFileTyped(wxEvent& event)
{
    event.Skip();
    const wxString typed = m_txtFile->GetValue().Strip(wxString::both);
    if (typed == m_file || !CanChooseFile())
        return;
    if (typed.empty()) {
        m_txtFile->ChangeValue(m_file);
        return;
    }
    TakeFile(typed);
}

bool CDeviceBatchUpgradeDlg::TakeFile(const wxString& path)
{
    HbdsKernelInfo info;
    uint32_t out = 0;
    if (hbds_get_kernel_info(path.fn_str(), &info, &out)) {
        m_firmwareMode = true;
        m_info = info;
    } else if (IsConfigurationPath(path) && wxFileExists(path)) {
        m_firmwareMode = false;
    } else {
        // The field shows the file in use again before the message takes the focus.
        m_txtFile->ChangeValue(m_file);
        ShowMessage(GetUiText("ID_DEVICE_UPGRADE_ERROR_INVALID", "无效文件!"), wxOK | wxICON_ERROR);
        return false;
    }
    if (path != m_file)
        ResetAllScanners(m_folder);  // every scanner is due again for a new file
    m_file = path;
    m_txtFile->ChangeValue(path);
    EnableControls();
    return true;
}

bool CDeviceBatchUpgradeDlg::ListScanners(SListing& listing, const wxString& folder, int delayMs, CLineJob& job)
{
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    catalogue.EnsureLoaded();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.EnumDevices(CSaveCfg::AskPort);
    // The pause the batch settings ask for after a listing; a closed window ends it.
    if (delayMs > 0 && !job.WaitFor(static_cast<uint32_t>(delayMs)))
        return false;
    listing.portLockMode = ReadPortLockMode(folder);
    for (size_t i = 0; i < link.GetDeviceCount(); ++i)
        link.GetDevice(i)->model = catalogue.MatchDevice(link.GetDevice(i)->productName);
    link.RemoveUnmatched();
    for (size_t i = 0; i < link.GetDeviceCount(); ++i)
        listing.found.push_back(CopyEntry(*link.GetDevice(i)));
    return true;
}

void CDeviceBatchUpgradeDlg::RefreshRows()
{
    if (m_phase != EPhase::Idle)
        return;
    SListing listing;
    const wxString folder = m_folder;
    CWaitDlg::Run(this, [&listing, &folder] {
        CLineJob unpaused(LineUsers::kSearch);  // no pause is asked for here
        return ListScanners(listing, folder, 0, unpaused);
    });
    m_found = std::move(listing.found);
    m_portLockMode = listing.portLockMode;
    ShowRows();
}

void CDeviceBatchUpgradeDlg::ShowRows()
{
    JoinAll();
    m_rows.clear();
    m_list->DeleteAllItems();
    int usbIndex = 0;
    for (auto& entry : m_found) {
        auto row = std::make_unique<SRow>();
        row->port = BatchPortName(*entry, entry->kind == DEVICE_KIND_USB ? ++usbIndex : 0);
        row->version = BatchVersionOf(entry->systemInfo);
        row->key = BatchScannerKey(*entry, row->port);
        row->entry = std::move(entry);
        const long index = static_cast<long>(m_rows.size());
        m_list->InsertItem(index, wxString::Format("%ld", index + 1));
        m_list->SetItem(index, COL_PORT, PortPathOf(*row->entry));  // the port's name stays the row's key
        m_list->SetItem(index, COL_SERIAL, row->entry->serialNumber);
        m_list->SetItem(index, COL_PRODUCT, row->entry->productName);
        m_list->SetItem(index, COL_VERSION, row->version);
        m_list->CheckItem(index, m_unchecked.count(row->key) == 0);
        m_rows.push_back(std::move(row));
    }
    m_found.clear();
}

void CDeviceBatchUpgradeDlg::Start()
{
    if (m_running || m_phase != EPhase::Idle)
        return;
    if (m_file.empty()) {
        ShowMessage(GetUiText("ID_CHOOSE_FILE", "请先选择要操作的文件"), wxOK | wxICON_WARNING);
        return;
    }
    HbdsKernelInfo info;
    uint32_t out = 0;
    const bool usable = m_firmwareMode ? hbds_get_kernel_info(m_file.fn_str(), &info, &out) != 0
                                       : IsConfigurationPath(m_file) && CSaveCfg::GetInstance().LoadFileForSending(m_file);
    if (!usable) {
        ShowMessage(m_firmwareMode ? GetUiText("ID_DEVICE_UPGRADE_ERROR_INVALID", "不含 Kernel 文件!")
                                   : GetUiText("ID_DEVICE_UPGRADE_ERROR_INVALID", "无效文件!"),
                    wxOK | wxICON_ERROR);
        return;
    }
    if (m_firmwareMode)
        m_info = info;
    m_roundFile = m_file;
    m_roundInfo = m_info;
    m_running = true;
    EnableControls();
    for (const auto& row : m_rows)
        SetScannerDone(m_folder, row->key, false);
    VLOG(LOG_INFO, "batch upgrade with %s started", U8(m_file));
    StartRound();
    m_timer.Start(kBatchPollMs);
}

void CDeviceBatchUpgradeDlg::Stop()
{
    m_running = false;
    VLOG(LOG_INFO, "batch upgrade stopped after %i rounds", m_rounds);
    EnableControls();
}

void CDeviceBatchUpgradeDlg::StartRound()
{
    m_phase = EPhase::Listing;
    m_listed = false;
    auto listing = std::make_shared<SListing>();
    const wxString folder = m_folder;
    const int delayMs = ReadBatchDelays(m_folder).afterListMs;
    m_jobs.Queue(
        LineUsers::kSearch,
        [listing, folder, delayMs](CLineJob& job) { return ListScanners(*listing, folder, delayMs, job); },
        [this, listing](bool) {
            m_found = std::move(listing->found);
            m_portLockMode = listing->portLockMode;
            m_listed = true;
        });
}

void CDeviceBatchUpgradeDlg::Poll()
{
    switch (m_phase) {
    case EPhase::Listing:
        if (!m_listed)
            return;
        ShowRows();
        if (m_running) {
            StartDownloads();
            m_phase = EPhase::Downloading;
        } else {
            m_phase = EPhase::Idle;
        }
        break;
    case EPhase::Downloading:
        ReportEndedRows();
        if (std::all_of(m_rows.begin(), m_rows.end(), [](const auto& row) { return !row->started || row->reported; })) {
            ++m_rounds;
            m_phase = EPhase::Resting;
            m_restUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(ReadBatchDelays(m_folder).afterRoundMs);
        }
        break;
    case EPhase::Resting:
        if (!m_running)
            m_phase = EPhase::Idle;
        else if (std::chrono::steady_clock::now() >= m_restUntil)
            StartRound();
        break;
    case EPhase::Idle:
        break;
    }
    if (m_phase == EPhase::Idle) {
        m_timer.Stop();
        EnableControls();
        if (m_closeWhenIdle) {
            m_closeWhenIdle = false;
            Close();
        }
    }
}

void CDeviceBatchUpgradeDlg::StartDownloads()
{
    const bool matchFile = m_chkMatch->GetValue();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        SRow& row = *m_rows[i];
        const long index = static_cast<long>(i);
        if (!m_list->IsItemChecked(index))
            continue;
        SBatchRowFacts facts;
        facts.portLockMode = m_portLockMode;
        facts.matchFile = matchFile;
        facts.firmwareMode = m_firmwareMode;
        facts.fileType = m_roundInfo.type;
        facts.fileDeviceName = wxString(m_roundInfo.deviceName);
        facts.productName = row.entry->productName;
        facts.done = IsScannerDone(m_folder, row.key);
        const SBatchRowDecision decision = DecideBatchRow(facts);
        SetResult(index, decision.identifier, decision.fallback);
        if (!decision.start)
            continue;
        row.started = true;
        if (m_firmwareMode)
            row.worker = std::thread([&row, matchFile, file = m_roundFile] {
                row.success = CHBDataStreamMnt::UpgradeEntryFirmware(*row.entry, file, &row.progress, matchFile);
                row.ended = true;
            });
        else
            row.worker = std::thread(&CDeviceBatchUpgradeDlg::RunConfigurationWorker, this, std::ref(row));
    }
}

void CDeviceBatchUpgradeDlg::RunConfigurationWorker(SRow& row)
{
    // The engine and the link manager work with one current device, so scanners get
    // their configuration one after another.
    static std::mutex oneAtATime;
    std::lock_guard<std::mutex> lock(oneAtATime);
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    // Open, write and close are one job: nothing else reaches this scanner in between.
    row.success = link.Jobs().Run(LineUsers::kWrite, [&link, &row](CLineJob&) {
        if (!link.OpenDevice(row.entry.get()))
            return false;
        CSaveCfg::GetInstance().SendFileCommands();
        link.CloseDevice(0);
        return true;  // a refused setting does not stop the rounds
    });
    row.ended = true;
}

void CDeviceBatchUpgradeDlg::ReportEndedRows()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        SRow& row = *m_rows[i];
        if (!row.started || row.reported)
            continue;
        ShowRowProgress(static_cast<long>(i), row);
        if (!row.ended)
            continue;
        row.worker.join();
        row.reported = true;
        const bool success = row.success;
        if (success)
            SetResult(static_cast<long>(i), "ID_RESULT_SUCCESS", "更新成功");
        else
            SetResult(static_cast<long>(i), "ID_RESULT_FAIL", "更新失败");
        if (success)
            SetScannerDone(m_folder, row.key, true);
        if (success && m_firmwareMode)
            m_list->SetItem(static_cast<long>(i), COL_VERSION, BatchVersionOf(row.entry->systemInfo));
        if (row.entry->kind == DEVICE_KIND_SERIAL)  // a restart may have moved it to another port
            m_list->SetItem(static_cast<long>(i), COL_PORT, PortPathOf(*row.entry));
        const wxDateTime now = wxDateTime::Now();
        SBatchLogRecord record{row.entry->serialNumber, row.entry->productName, row.version,
                               success && m_firmwareMode ? wxString(m_roundInfo.version) : row.version,
                               GetResultText(static_cast<long>(i)), LogTimeText(now)};
        AppendDayLog(DayLogPath(m_folder, now), record);
        VLOG(LOG_INFO, "batch row %s: %s (status %u)", U8(row.entry->serialNumber), success ? "done" : "failed",
             static_cast<unsigned>(row.entry->status));
    }
}

void CDeviceBatchUpgradeDlg::ShowRowProgress(long index, SRow& row)
{
    if (!m_firmwareMode)
        return;
    const HbdsFirmwareProgress progress = SnapshotProgress(&row.progress);
    const uint32_t step = std::min<uint32_t>(progress.step, 3);
    const wxString text = wxString::Format("%u/%u  %d%%", progress.part + 1, std::max<uint32_t>(progress.partCount, 1),
                                           UpgradeBarValue(progress.stepPercent[step]) / 10);
    if (m_list->GetItemText(index, COL_UPDATE) != text)
        m_list->SetItem(index, COL_UPDATE, text);
}

void CDeviceBatchUpgradeDlg::SetResult(long index, const char* identifier, const char* fallback)
{
    m_list->SetItem(index, COL_RESULT, GetUiText(identifier, fallback));
}

wxString CDeviceBatchUpgradeDlg::GetResultText(long row) const
{
    return m_list->GetItemText(row, COL_RESULT);
}

bool CDeviceBatchUpgradeDlg::IsBusy() const
{
    return m_phase != EPhase::Idle;
}

void CDeviceBatchUpgradeDlg::ShowLog()
{
    CDialog_Log dialog(this, m_folder + "batch_update_log");
    dialog.ShowDayLog(m_folder, wxDateTime::Now());
    dialog.ShowModal();
}

void CDeviceBatchUpgradeDlg::JoinAll()
{
    for (auto& row : m_rows) {
        if (row->worker.joinable())
            row->worker.join();
    }
}

void CDeviceBatchUpgradeDlg::OnClose(wxCloseEvent& event)
{
    // Downloads in progress finish first; a scanner cut off half-way is left in its boot mode.
    if (IsBusy() && event.CanVeto()) {
        event.Veto();
        OfferToCloseAfterCurrent();
        return;
    }
    event.Skip();
}

void CDeviceBatchUpgradeDlg::OfferToCloseAfterCurrent()
{
    if (m_closeWhenIdle) {
        ShowMessage(GetUiText("ID_BATCH_CLOSE_LATER", "正在升级的设备完成后窗口将关闭。"), wxOK | wxICON_INFORMATION);
        return;
    }
    const wxString question = GetUiText("ID_BATCH_CLOSE_BUSY", "设备正在升级，中断会使设备无法使用，现在不能关闭窗口。") +
                              "\n" + GetUiText("ID_BATCH_CLOSE_ASK", "是否在当前设备完成后停止并关闭窗口?");
    if (ShowMessage(question, wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    m_closeWhenIdle = true;
    Stop();
}

void ShowBatchUpgradeDialog(wxWindow* parent)
{
    CDeviceBatchUpgradeDlg dialog(parent);
    dialog.ShowModal();
}
