#include "DeviceOnLineDlg.h"
#include "UI/gui/Accessible.h"

#include "MainWindowEvents.h"
#include "Thumbnail.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "device/DeviceEntry.h"
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"
#include "device/gui/UpgradeDialogs.h"
#include "device/HBDataStreamMnt.h"

#include <wx/imaglist.h>
#include <wx/sizer.h>

#include <algorithm>
#include <mutex>

namespace {

// The upgrade button goes with the firmware download window.
const bool kFirmwareUpgradeAvailable = true;

// Runs on the search's thread: no windows here. The catalogue is loaded already.
std::vector<std::unique_ptr<DeviceEntry>> FindMatchedScanners()
{
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    std::vector<std::unique_ptr<DeviceEntry>> found = CHBDataStreamMnt::GetInstance().SweepPorts(CSaveCfg::AskPort);
    std::vector<std::unique_ptr<DeviceEntry>> matched;
    for (std::unique_ptr<DeviceEntry>& entry : found) {
        entry->model = catalogue.MatchDevice(entry->productName);
        if (entry->model)
            matched.push_back(std::move(entry));
    }
    return matched;
}

wxString EntryLabel(const DeviceEntry& entry)
{
    wxString label = entry.productName + "\n" + PortPathOf(entry);
    if (!entry.serialNumber.empty())
        label += "\n" + entry.serialNumber;
    return label;
}

}  // namespace

// What the page and its search share: the result, handed over when the search ends.
struct CDeviceOnLineDlg::SSearch {
    std::vector<std::unique_ptr<DeviceEntry>> found;
};

CDeviceOnLineDlg::CDeviceOnLineDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    m_jobs.ShowBusyOn(this);
    CreateControls();
    ApplySharedFont();
    ApplyUiTexts();
    ShowKnownEntries();
}

// A search under way ends on the line's thread within the time of the slowest port;
// what it found then goes with it.
CDeviceOnLineDlg::~CDeviceOnLineDlg() = default;

void CDeviceOnLineDlg::CreateControls()
{
    ApplyPageTint(this);
    auto* top = new wxBoxSizer(wxVERTICAL);

    m_txtState = new wxStaticText(this, wxID_ANY, wxEmptyString);
    top->Add(m_txtState, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);

    m_lstDevices = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxLC_ICON | wxLC_SINGLE_SEL | wxBORDER_THEME);
    SetAccessibleName(m_lstDevices, GetUiText("ID_NAME_SCANNER_LIST", "Scanners"), EAccessibleRole::List);
    m_lstDevices->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { ShowSelection(); });
    m_lstDevices->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { ShowSelection(); });
    m_lstDevices->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& event) {
        const long index = event.GetIndex();
        if (index >= 0 && static_cast<size_t>(index) < m_entries.size())
            ConfigureEntry(m_entries[static_cast<size_t>(index)]);
    });
    top->Add(m_lstDevices, 3, wxEXPAND | wxALL, 12);

    m_txtInfo = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(-1, 110),
                               wxTE_MULTILINE | wxTE_READONLY);
    SetAccessibleName(m_txtInfo, GetUiText("ID_NAME_SCANNER_DETAILS", "Scanner details"));
    top->Add(m_txtInfo, 1, wxEXPAND | wxLEFT | wxRIGHT, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_btnRefresh = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnRefresh->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RefreshDevices(); });
    m_btnCfg = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnCfg->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ConfigureEntry(GetSelectedEntry()); });
    m_btnUpgrade = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnUpgrade->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { UpgradeEntry(GetSelectedEntry()); });
    buttons->AddStretchSpacer();
    for (wxButton* button : {m_btnRefresh, m_btnCfg, m_btnUpgrade})
        buttons->Add(button, 0, wxLEFT, 8);
    top->Add(buttons, 0, wxEXPAND | wxALL, 12);
    SetSizer(top);
    ClearSelection();
}

void CDeviceOnLineDlg::ApplyUiTexts()
{
    m_btnRefresh->SetLabel(GetUiText("IDREFRESH", "刷新"));
    m_btnCfg->SetLabel(GetUiText("ID_DEVICE_DLG_ON_CFG", "配置"));
    m_btnUpgrade->SetLabel(GetUiText("ID_DEVICE_DLG_ON_UPGRADE", "升级"));
    ShowState();
    Layout();
}

void CDeviceOnLineDlg::ShowState()
{
    wxString state;
    if (IsRefreshing())
        state = GetUiText("ID_DEVICE_DLG_ON_SEARCHING", "正在查找扫描器…");
    else if (m_entries.empty())
        state = GetUiText("ID_DEVICE_DLG_ON_NONE", "未找到扫描器。") + "\n" +
                GetUiText("ID_DEVICE_DLG_ON_NONE_CAUSES",
                          "Linux 上的常见原因：\n"
                          "• 当前用户不在 dialout 组（sudo usermod -aG dialout $USER，然后重新登录）；\n"
                          "• 扫描器的 HID 设备没有访问规则（需为其 hidraw 设备添加 udev 规则）；\n"
                          "• 扫描器处于键盘模式：只输入条码而不应答命令，请扫描设置码切换到串口（USB COM）或 HID-POS 模式。");
    m_txtState->SetLabel(state);
    // The causes are long lines; they wrap to the page rather than run past its edge.
    m_txtState->Wrap(std::max(GetClientSize().x - 24, 320));
    m_txtState->Show(!state.empty());
    Layout();
}

void CDeviceOnLineDlg::ShowKnownEntries()
{
    m_entries.clear();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    for (size_t i = 0; i < link.GetDeviceCount(); ++i) {
        if (link.GetDevice(i)->model)
            m_entries.push_back(link.GetDevice(i));
    }
    ShowEntries();
}

void CDeviceOnLineDlg::RefreshDevices()
{
    if (IsRefreshing())
        return;
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    // Loaded once and then kept: the model page's thumbnails point into it.
    catalogue.EnsureLoaded();
    if (catalogue.GetCategories().empty()) {
        ClearSelection();
        m_entries.clear();
        ShowEntries();
        return;
    }
    m_search = std::make_shared<SSearch>();
    m_jobs.Queue(
        LineUsers::kSearch,
        [search = m_search](CLineJob&) {
            search->found = FindMatchedScanners();
            return true;
        },
        [this](bool) { OnSearchDone(); });
    ShowState();
}

void CDeviceOnLineDlg::OnSearchDone()
{
    if (!m_search)
        return;
    std::vector<std::unique_ptr<DeviceEntry>> found = std::move(m_search->found);
    m_search.reset();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    const DeviceEntry* selected = GetSelectedEntry();
    const wxString selectedPort = selected ? PortPathOf(*selected) : wxString();
    // A scanner opened meanwhile (a connect begun from the list) keeps its entry, and
    // so does one that a queued job is about to use.
    if (!link.TryReplaceDevices(found)) {
        VLOG(LOG_INFO, "the line is in use; the search's %i scanners are not shown", static_cast<int>(found.size()));
        ShowState();
        return;
    }
    ShowKnownEntries();
    VLOG(LOG_INFO, "%i scanners listed", static_cast<int>(m_entries.size()));
    ClearSelection();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!selectedPort.empty() && PortPathOf(*m_entries[i]) == selectedPort)
            SelectEntry(static_cast<int>(i));
    }
}

void CDeviceOnLineDlg::ShowEntries()
{
    m_lstDevices->DeleteAllItems();
    auto* pictures = new wxImageList(kThumbnailSize, kThumbnailSize, false);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const DeviceEntry* entry = m_entries[i];
        const int picture = pictures->Add(MakeThumbnail(entry->model ? entry->model->m_pictureImage.get() : nullptr,
                                                        kThumbnailSize));
        m_lstDevices->InsertItem(static_cast<long>(i), EntryLabel(*entry), picture);
    }
    m_lstDevices->AssignImageList(pictures, wxIMAGE_LIST_NORMAL);
    ShowState();
}

DeviceEntry* CDeviceOnLineDlg::GetSelectedEntry() const
{
    const long index = m_lstDevices->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size())
        return nullptr;
    return m_entries[static_cast<size_t>(index)];
}

void CDeviceOnLineDlg::SelectEntry(int index)
{
    for (long item = 0; item < m_lstDevices->GetItemCount(); ++item)
        m_lstDevices->SetItemState(item, item == index ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    // Not every list implementation reports a selection made by the program.
    ShowSelection();
}

void CDeviceOnLineDlg::ClearSelection()
{
    for (long item = 0; item < m_lstDevices->GetItemCount(); ++item)
        m_lstDevices->SetItemState(item, 0, wxLIST_STATE_SELECTED);
    m_txtInfo->Clear();
    m_btnCfg->Disable();
    m_btnUpgrade->Disable();
}

void CDeviceOnLineDlg::ShowSelection()
{
    const DeviceEntry* entry = GetSelectedEntry();
    m_txtInfo->SetValue(entry ? entry->systemInfo : wxString());
    m_btnCfg->Enable(entry != nullptr);
    m_btnUpgrade->Enable(entry != nullptr && kFirmwareUpgradeAvailable);
}

void CDeviceOnLineDlg::ConfigureEntry(DeviceEntry* entry)
{
    if (entry)
        PostNavigateRequest(GetParent(), NAVIGATE_CONNECT, entry);
}

void CDeviceOnLineDlg::UpgradeEntry(DeviceEntry* entry)
{
    if (!entry || !kFirmwareUpgradeAvailable)
        return;
    RunSingleUpgrade(*entry);
    ShowSelection();  // a successful upgrade changed the version in the system text
}

void CDeviceOnLineDlg::RunSingleUpgrade(DeviceEntry& entry)
{
    ShowDeviceUpgradeDialog(wxGetTopLevelParent(this), entry.productName, &entry);
}
