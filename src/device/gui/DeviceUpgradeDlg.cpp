#include "DeviceUpgradeDlg.h"
#include "UpgradeDialogs.h"

#include "app/Log.h"
#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "config/SaveCfg.h"
#include "device/FirmwareBatch.h"
#include "device/HBDataStreamMnt.h"
#include "UI/gui/Accessible.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/sizer.h>

#include <future>

namespace {

// The download thread writes the record; this often is smooth enough to watch.
const int kProgressPollMs = 200;

}  // namespace

const char* const CDeviceUpgradeDlg::kFirmwareFilter =
    "(*.bin;*.bin2;*.bin3;*.pak;*.pk2;*.nfp;*.efp)|*.bin;*.bin2;*.bin3;*.pak;*.pk2;*.nfp;*.efp|"
    "(*.bin;*.bin2;*.bin3)|*.bin;*.bin2;*.bin3|(*.nfp)|*.nfp|(*.pak;*.pk2)|*.pak;*.pk2|(*.efp)|*.efp|"
    "All Files (*.*)|*.*";

CDeviceUpgradeDlg::CDeviceUpgradeDlg(wxWindow* parent, const wxString& deviceName, DeviceEntry* toOpen)
    : wxDialog(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_deviceName(deviceName), m_toOpen(toOpen), m_timer(this)
{
    OpenHelpOnF1(this);
    CreateControls();
    ApplyUiTexts();
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
    Bind(wxEVT_TIMER, &CDeviceUpgradeDlg::OnTimer, this);
    Bind(wxEVT_CLOSE_WINDOW, &CDeviceUpgradeDlg::OnClose, this);
    for (int id : {wxID_OK, wxID_CANCEL}) {
        Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
            if (m_busy)
                TellWhyNotNow();
            else
                event.Skip();
        }, id);
    }
    SetSize(FromDIP(wxSize(560, 420)));
    CentreOnParent();
}

CDeviceUpgradeDlg::~CDeviceUpgradeDlg()
{
    m_timer.Stop();
    if (m_worker.joinable())
        m_worker.join();
}

void CDeviceUpgradeDlg::CreateControls()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* fileRow = new wxBoxSizer(wxHORIZONTAL);
    // A path may be typed or pasted as well as chosen; it is checked when the upgrade starts.
    m_txtFile = new wxTextCtrl(this, wxID_ANY, wxString());
    m_btnChoose = new wxButton(this, wxID_ANY, wxString());
    m_btnChoose->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseFile(); });
    fileRow->Add(m_txtFile, 1, wxALIGN_CENTER_VERTICAL);
    fileRow->Add(m_btnChoose, 0, wxLEFT, 8);
    column->Add(fileRow, 0, wxEXPAND | wxALL, 12);

    auto* barRow = new wxBoxSizer(wxHORIZONTAL);
    m_gauge = new wxGauge(this, wxID_ANY, 1000);
    m_indicator = new wxActivityIndicator(this);
    m_indicator->Hide();
    barRow->Add(m_gauge, 1, wxALIGN_CENTER_VERTICAL);
    barRow->Add(m_indicator, 0, wxLEFT, 8);
    column->Add(barRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 12);

    m_txtLog = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                              wxTE_MULTILINE | wxTE_READONLY);
    column->Add(m_txtLog, 1, wxEXPAND | wxALL, 12);
    SetAccessibleName(m_txtFile, GetUiText("ID_NAME_FIRMWARE_FILE", "Firmware file"));
    SetAccessibleName(m_txtLog, GetUiText("ID_NAME_UPGRADE_MESSAGES", "Upgrade messages"));

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_btnUpdate = new wxButton(this, wxID_ANY, wxString());
    m_btnUpdate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { StartUpdate(); });
    m_btnExit = new wxButton(this, wxID_ANY, wxString());
    m_btnExit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (!m_busy)
            EndModal(wxID_CANCEL);
    });
    m_btnUpdate->SetDefault();
    SetEscapeId(m_btnExit->GetId());
    buttons->AddStretchSpacer();
    buttons->Add(m_btnUpdate, 0);
    buttons->Add(m_btnExit, 0, wxLEFT, 8);
    column->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizer(column);
}

void CDeviceUpgradeDlg::ApplyUiTexts()
{
    SetTitle(GetUiText("ID_DEVICE_UPGRADE_CAPTION", "固件升级") + " - " + m_deviceName);
    m_btnChoose->SetLabel(GetUiText("ID_DEVICE_UPGRADE_CHOOSE", "选择文件"));
    m_btnUpdate->SetLabel(GetUiText("ID_DEVICE_UPGRADE_UPDATE", "升级"));
    m_btnExit->SetLabel(GetUiText("ID_DEVICE_UPGRADE_EXIT", "退出"));
}

void CDeviceUpgradeDlg::ChooseFile()
{
    SFileQuestion question;
    question.filter = kFirmwareFilter;
    const wxString path = ::ChooseFile(this, question);
    if (path.empty())
        return;
    HbdsKernelInfo info;
    uint32_t out = 0;
    if (!hbds_get_kernel_info(path.fn_str(), &info, &out)) {
        ShowMessage(GetUiText("ID_DEVICE_UPGRADE_ERROR_INVALID", "无效文件!"), wxOK | wxICON_ERROR);
        return;
    }
    m_txtFile->SetValue(path);
}

void CDeviceUpgradeDlg::StartUpdate()
{
    if (m_busy)
        return;
    m_txtLog->Clear();
    m_file = m_txtFile->GetValue();
    if (m_file.empty()) {
        ShowMessage(GetUiText("ID_DEVICE_UPGRADE_ERROR", "文件不能为空?"), wxOK | wxICON_ERROR);
        return;
    }
    HbdsKernelInfo info;
    uint32_t out = 0;
    if (!hbds_get_kernel_info(m_file.fn_str(), &info, &out)) {
        ShowMessage(GetUiText("ID_DEVICE_UPGRADE_ERROR_INVALID", "不含 Kernel 文件!"), wxOK | wxICON_ERROR);
        return;
    }
    m_progress = HbdsFirmwareProgress();
    m_gauge->SetValue(0);
    m_result = false;
    m_running = true;
    m_busy = true;
    m_shownText.clear();
    EnableButtons(false);
    m_indicator->Show();
    m_indicator->Start();
    Layout();
    m_timer.Start(kProgressPollMs);
    if (m_worker.joinable())
        m_worker.join();
    m_worker = std::thread(&CDeviceUpgradeDlg::RunDownload, this);
}

void CDeviceUpgradeDlg::RunDownload()
{
    m_running = true;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    if (m_toOpen && !link.OpenDevice(m_toOpen)) {
        VLOG(LOG_INFO, "%s could not be opened for the upgrade (status %u)", U8(m_deviceName),
             static_cast<unsigned>(m_toOpen->status));
        m_result = false;
        m_running = false;
        return;
    }
    m_result = link.UpgradeFirmware(m_file, &m_progress, CSaveCfg::AskDevice,
                                    [this](const wxString& text, long style) { return AskFromWorker(text, style); });
    m_running = false;
}

int CDeviceUpgradeDlg::AskFromWorker(const wxString& text, long style)
{
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> reply = answer->get_future();
    CallAfter([answer, text, style] { answer->set_value(ShowMessage(text, style)); });
    return reply.get();
}

void CDeviceUpgradeDlg::OnTimer(wxTimerEvent&)
{
    ShowProgress(SnapshotProgress(&m_progress));
    if (!m_running)
        Finish();
}

void CDeviceUpgradeDlg::ShowProgress(const HbdsFirmwareProgress& progress)
{
    // The text starts empty until the download has begun, so it is compared as a whole
    // rather than by part and step, which both stay 0 across that start.
    const wxString text = UpgradeProgressText(progress);
    if (text != m_shownText) {
        m_shownText = text;
        m_txtLog->SetValue(text);
    }
    const uint32_t step = std::min<uint32_t>(progress.step, 3);
    m_gauge->SetValue(UpgradeBarValue(progress.stepPercent[step]));
}

void CDeviceUpgradeDlg::Finish()
{
    m_timer.Stop();
    if (m_worker.joinable())
        m_worker.join();
    if (m_result)
        CHBDataStreamMnt::GetInstance().NoteFirmwareVersion(m_file);
    // The scanner opened for the download is let go: the list page opens none.
    if (m_toOpen)
        CHBDataStreamMnt::GetInstance().QueueClose();
    if (m_result)
        m_txtLog->AppendText(GetUiText("ID_DEVICE_UPGRADE_OK", "更新成功."));
    else
        m_txtLog->AppendText(wxString::Format("%s:%s", GetUiText("ID_DEVICE_UPGRADE_ERROR_END_", "更新失败."),
                                              CHBDataStreamMnt::GetInstance().GetLastErrorText()));
    VLOG(LOG_INFO, "firmware upgrade of %s: %s", U8(m_deviceName), m_result ? "done" : "failed");
    m_indicator->Stop();
    m_indicator->Hide();
    EnableButtons(true);
    m_busy = false;
}

void CDeviceUpgradeDlg::EnableButtons(bool enable)
{
    for (wxButton* button : {m_btnChoose, m_btnUpdate, m_btnExit})
        button->Enable(enable);
}

void CDeviceUpgradeDlg::OnClose(wxCloseEvent& event)
{
    // The download cannot be stopped half-way without leaving the scanner in its boot mode.
    if (m_busy && event.CanVeto()) {
        event.Veto();
        TellWhyNotNow();
        return;
    }
    event.Skip();
}

void CDeviceUpgradeDlg::TellWhyNotNow()
{
    ShowMessage(GetUiText("ID_DEVICE_UPGRADE_BUSY", "固件正在写入设备，中断会使设备无法使用。请等待升级完成后再关闭窗口。"),
                wxOK | wxICON_WARNING);
}

void ShowDeviceUpgradeDialog(wxWindow* parent, const wxString& deviceName, DeviceEntry* toOpen)
{
    CDeviceUpgradeDlg dialog(parent, deviceName, toOpen);
    dialog.ShowModal();
}
