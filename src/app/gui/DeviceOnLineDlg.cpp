#include "DeviceOnLineDlg.h"

#include "DeviceEntry.h"
#include "DeviceInfo.h"
#include "DeviceMnt.h"
#include "HBDataStreamMnt.h"
#include "Log.h"
#include "MainWindowEvents.h"
#include "SaveCfg.h"
#include "Thumbnail.h"
#include "UiText.h"
#include "UpgradeDialogs.h"
#include "WaitDlg.h"

#include <wx/imaglist.h>
#include <wx/sizer.h>

namespace {

const int kThumbnailSize = 96;
// The upgrade button goes with the firmware download window.
const bool kFirmwareUpgradeAvailable = true;

// Runs on the wait window's worker: no windows here.
bool ListMatchedScanners()
{
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    // Loaded once and then kept: the model page's thumbnails point into it.
    catalogue.EnsureLoaded();
    if (catalogue.GetCategories().empty())
        return false;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    link.EnumDevices(CSaveCfg::AskPort);
    for (size_t i = 0; i < link.GetDeviceCount(); ++i) {
        DeviceEntry* entry = link.GetDevice(i);
        entry->model = catalogue.MatchDevice(entry->productName);
    }
    link.RemoveUnmatched();
    return true;
}

}  // namespace

CDeviceOnLineDlg::CDeviceOnLineDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    CreateControls();
    ApplySharedFont();
    ApplyUiTexts();
}

void CDeviceOnLineDlg::CreateControls()
{
    SetBackgroundColour(wxColour(247, 249, 252));
    auto* top = new wxBoxSizer(wxVERTICAL);

    m_lstDevices = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxLC_ICON | wxLC_SINGLE_SEL | wxBORDER_THEME);
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
    Layout();
}

void CDeviceOnLineDlg::RefreshDevices()
{
    ClearSelection();
    m_entries.clear();
    m_lstDevices->DeleteAllItems();
    if (CWaitDlg::Run(wxGetTopLevelParent(this), ListMatchedScanners)) {
        CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
        for (size_t i = 0; i < link.GetDeviceCount(); ++i)
            m_entries.push_back(link.GetDevice(i));
    }
    VLOG(LOG_INFO, "%i scanners listed", static_cast<int>(m_entries.size()));
    ShowEntries();
}

void CDeviceOnLineDlg::ShowEntries()
{
    m_lstDevices->DeleteAllItems();
    auto* pictures = new wxImageList(kThumbnailSize, kThumbnailSize, false);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const DeviceEntry* entry = m_entries[i];
        const int picture = pictures->Add(MakeThumbnail(entry->model ? entry->model->m_pictureImage.get() : nullptr,
                                                        kThumbnailSize));
        m_lstDevices->InsertItem(static_cast<long>(i), entry->productName, picture);
    }
    m_lstDevices->AssignImageList(pictures, wxIMAGE_LIST_NORMAL);
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
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    if (!link.OpenDevice(entry)) {
        VLOG(LOG_INFO, "%s could not be opened for the upgrade (status %u)", U8(entry->productName),
             static_cast<unsigned>(entry->status));
        return;
    }
    RunSingleUpgrade(*entry);
    link.CloseDevice(0);
    ShowSelection();  // a successful upgrade changed the version in the system text
}

void CDeviceOnLineDlg::RunSingleUpgrade(DeviceEntry& entry)
{
    ShowDeviceUpgradeDialog(wxGetTopLevelParent(this), entry.productName);
}
