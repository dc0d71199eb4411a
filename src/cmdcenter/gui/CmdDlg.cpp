#include "CmdDlg.h"

#include "CommandCenterDlg.h"
#include "app/UiText.h"
#include "batchdata/gui/BatchDataDlg.h"
#include "cmdcenter/UpgradeSwitches.h"
#include "device/DeviceAccess.h"
#include "device/gui/UpgradeDialogs.h"
#include "device/HBDataStreamMnt.h"

#include <wx/sizer.h>
#include <wx/wrapsizer.h>

#include <algorithm>
#include <array>

namespace {

const unsigned kBaudRates[] = {110,    300,    600,    1200,   2400,   4800,   9600,
                               14400,  19200,  38400,  57600,  115200, 128000, 192000,
                               256000, 320000, 384000, 512000, 576000, 921600};
const int kInitialBaud = 11;  // 115200
const int kInitialDataBits = 3;  // 8

struct SParityText {
    const char* textId;
    const char* fallback;
};
const SParityText kParities[] = {{"IDPARITYBITSNON", "无"},
                                 {"IDPARITYBITSODD", "奇校验"},
                                 {"IDPARITYBITSEVEN", "偶校验"},
                                 {"IDPARITYBITSMARK", "标记"},
                                 {"IDPARITYBITSSPACE", "空格"}};

wxArrayString BaudTexts()
{
    wxArrayString texts;
    for (unsigned rate : kBaudRates)
        texts.Add(wxString::Format("%u", rate));
    return texts;
}

wxArrayString ParityTexts()
{
    wxArrayString texts;
    for (const SParityText& parity : kParities)
        texts.Add(GetUiText(parity.textId, parity.fallback));
    return texts;
}

}  // namespace

CCmdDlg::CCmdDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    m_jobs.ShowBusyOn(this);
    CreateControls();
    ShowUpgradeButtons();
    ApplySharedFont();
    ApplyUiTexts();
    RefreshPorts();
}

CCmdDlg::~CCmdDlg()
{
    // The page owns the connection it opened; leaving it closes the port.
    if (m_terminal)
        m_terminal->StopReading();
    CHBDataStreamMnt::GetInstance().QueueClose();
}

void CCmdDlg::CreateControls()
{
    ApplyPageTint(this);
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* settings = new wxWrapSizer(wxHORIZONTAL);
    m_cboPort = AddSetting(settings, m_lblPort, wxArrayString(), -1);
    m_cboPort->SetMinSize(wxSize(200, -1));
    m_cboBaud = AddSetting(settings, m_lblBaud, BaudTexts(), kInitialBaud);
    m_cboDataBits = AddSetting(settings, m_lblDataBits, wxArrayString(4, std::array<wxString, 4>{"5", "6", "7", "8"}.data()),
                               kInitialDataBits);
    m_cboStopBits = AddSetting(settings, m_lblStopBits, wxArrayString(3, std::array<wxString, 3>{"1", "1.5", "2"}.data()), 0);
    m_cboParity = AddSetting(settings, m_lblParity, ParityTexts(), 0);
    top->Add(settings, 0, wxEXPAND | wxALL, 6);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_btnOpen = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnClose = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnRefresh = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnUpgrade = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnBatchUpgrade = new wxButton(this, wxID_ANY, wxEmptyString);
    for (wxButton* button : {m_btnOpen, m_btnClose, m_btnRefresh, m_btnUpgrade, m_btnBatchUpgrade})
        buttons->Add(button, 0, wxRIGHT, 6);
    top->Add(buttons, 0, wxLEFT | wxRIGHT | wxBOTTOM, 6);

    m_terminal = new CCommandCenterDlg(this);
    top->Add(m_terminal, 1, wxEXPAND);
    m_batch = new CBatchDataDlg(this);
    m_batch->SetMinSize(wxSize(-1, 100));
    top->Add(m_batch, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 2);
    SetSizer(top);

    m_cboPort->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateLineSettingsEnabled(); });
    m_btnOpen->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenPort(); });
    m_btnClose->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ClosePort(); });
    m_btnRefresh->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RefreshPorts(); });
    m_btnUpgrade->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnUpgradeOne(); });
    m_btnBatchUpgrade->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnUpgradeBatch(); });
}

wxChoice* CCmdDlg::AddSetting(wxSizer* row, wxStaticText*& label, const wxArrayString& choices, int initial)
{
    label = new wxStaticText(this, wxID_ANY, wxEmptyString);
    auto* choice = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, choices);
    if (initial >= 0)
        choice->SetSelection(initial);
    row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    row->Add(choice, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    return choice;
}

void CCmdDlg::ApplyUiTexts()
{
    m_lblPort->SetLabel(GetUiText("IDPORT", "端口"));
    m_lblBaud->SetLabel(GetUiText("IDBAUDRATE", "波特率"));
    m_lblDataBits->SetLabel(GetUiText("IDDATABITS", "数据位"));
    m_lblStopBits->SetLabel(GetUiText("IDPSTOPBITS", "停止位"));
    m_lblParity->SetLabel(GetUiText("IDPARITYBITS", "校验位"));
    m_btnOpen->SetLabel(GetUiText("IDOPENCOM", "打开端口"));
    m_btnClose->SetLabel(GetUiText("IDCLOSECOM", "关闭端口"));
    m_btnRefresh->SetLabel(GetUiText("IDREFRESH", "刷新"));
    m_btnUpgrade->SetLabel(GetUiText("ID_DEVICE_DLG_ON_UPGRADE", "升级"));
    m_btnBatchUpgrade->SetLabel(GetUiText("ID_DEVICE_DLG_ON_BATCHUPGRADE", "批量升级"));
    const int parity = m_cboParity->GetSelection();
    m_cboParity->Set(ParityTexts());
    m_cboParity->SetSelection(parity);
    m_terminal->ApplyUiTexts();
    m_batch->ApplyUiTexts();
    Layout();
}

// Shown as "server.cfg" says. The single upgrade needs the open scanner.
void CCmdDlg::ShowUpgradeButtons()
{
    const SUpgradeSwitches switches = ReadUpgradeSwitches(UpgradeSwitchesPath());
    m_btnUpgrade->Show(switches.upgrade);
    m_btnBatchUpgrade->Show(switches.batchUpgrade);
}

// The download owns the line: the terminal's reader keeps off it meanwhile.
void CCmdDlg::OnUpgradeOne()
{
    const DeviceEntry* open = CHBDataStreamMnt::GetInstance().GetCurrentDevice();
    if (!open || !CHBDataStreamMnt::GetInstance().IsOpen())
        return;
    // The download takes the line for itself; the terminal's reader passes its turns.
    ShowDeviceUpgradeDialog(this, open->productName);
}

void CCmdDlg::OnUpgradeBatch()
{
    // The batch finds and opens every scanner on connections of its own, this port's
    // scanner among them: the terminal lets go of it first.
    ClosePort();
    ShowBatchUpgradeDialog(this);
}

void CCmdDlg::RefreshPorts()
{
    const wxString selected = m_cboPort->GetStringSelection();
    m_ports = ListTerminalPorts();
    m_cboPort->Clear();
    for (const STerminalPort& port : m_ports)
        m_cboPort->Append(port.label);
    if (!selected.empty())
        m_cboPort->SetStringSelection(selected);
    UpdateLineSettingsEnabled();
    UpdateOpenCloseEnabled();
}

bool CCmdDlg::SelectPort(const wxString& label)
{
    const bool found = m_cboPort->SetStringSelection(label);
    UpdateLineSettingsEnabled();
    return found;
}

const STerminalPort* CCmdDlg::SelectedPort() const
{
    const int index = m_cboPort->GetSelection();
    return index >= 0 && static_cast<size_t>(index) < m_ports.size() ? &m_ports[static_cast<size_t>(index)] : nullptr;
}

// The line settings belong to serial ports; USB interfaces have none.
void CCmdDlg::UpdateLineSettingsEnabled()
{
    const STerminalPort* port = SelectedPort();
    const bool serial = !port || port->serial;
    for (wxChoice* choice : {m_cboBaud, m_cboDataBits, m_cboStopBits, m_cboParity})
        choice->Enable(serial);
}

void CCmdDlg::UpdateOpenCloseEnabled()
{
    const bool open = CHBDataStreamMnt::GetInstance().IsOpen();
    m_btnClose->Enable(open);
    m_btnUpgrade->Enable(open);
    m_batch->GetFetchButton()->Enable(open);
    m_btnOpen->Enable(!open && !m_ports.empty());
}

SerialSettings CCmdDlg::ChosenLineSettings() const
{
    SerialSettings line{};
    line.baudRate = kBaudRates[std::max(0, m_cboBaud->GetSelection())];
    line.dataBits = static_cast<uint8_t>(5 + std::max(0, m_cboDataBits->GetSelection()));
    line.stopBits = static_cast<uint8_t>(std::max(0, m_cboStopBits->GetSelection()));
    line.parity = static_cast<uint8_t>(std::max(0, m_cboParity->GetSelection()));
    return line;
}

bool CCmdDlg::OpenPort()
{
    const STerminalPort* port = SelectedPort();
    if (!port) {
        ShowMessage(GetUiText("ID_CMD_CHOOSE_PORT", "请选择端口"), wxOK | wxICON_INFORMATION);
        return false;
    }
    m_terminal->StopReading();
    // The open is the line's work; the buttons wait for its end.
    m_btnOpen->Disable();
    const STerminalPort chosen = *port;
    const SerialSettings line = ChosenLineSettings();
    auto status = std::make_shared<uint32_t>(0);
    m_jobs.Queue(
        LineUsers::kConnect, [chosen, line, status](CLineJob&) { return OpenTerminalPort(chosen, line, *status); },
        [this, chosen, status](bool opened) { OnPortOpened(chosen, opened, *status); });
    return true;
}

void CCmdDlg::OnPortOpened(const STerminalPort& port, bool opened, uint32_t status)
{
    UpdateOpenCloseEnabled();
    if (!opened) {
        wxString reason = CHBDataStreamMnt::ErrorTextForStatus(status);
        if (status == HBDS_ERR_ACCESS_DENIED) {
            const std::string path = port.serial ? std::string(port.label.utf8_str()) : std::string(port.usbDevice.path);
            const wxString help = DeviceAccessHelp(path);
            reason = help.empty() ? reason : help;
        }
        ShowMessage(port.label + " " + GetUiText("ID_DEVICE_ERROR_NOT_OPEN", "未打开!") + " " + reason,
                    wxOK | wxICON_ERROR);
        return;
    }
    m_terminal->RefreshLinkState();
}

void CCmdDlg::ClosePort()
{
    m_terminal->StopReading();
    m_btnClose->Disable();
    CHBDataStreamMnt::GetInstance().QueueClose();
    // Told through a job of this page, queued behind the close.
    m_jobs.Queue(LineUsers::kConnect, [](CLineJob&) { return true; }, [this](bool) { UpdateOpenCloseEnabled(); });
}

bool CCmdDlg::IsWaitingForLine() const
{
    return m_jobs.IsBusy();
}
