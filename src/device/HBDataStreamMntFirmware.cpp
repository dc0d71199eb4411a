// Firmware download and the processor check of the device link manager.
#include "HBDataStreamMnt.h"

#include "FirmwareBatch.h"
#include "app/AppSettings.h"
#include "app/Log.h"

#include "hbds/hbds_firmware.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

// The retries of every download packet before the library gives up on the line.
const int kPacketRetries = 30;
const char* const kKvmProcessor = "KVMZ2287";
// How long a scanner that hung up as it restarted has to come back and say who it
// is, and how often its port is tried meanwhile.
const int kComeBackMs = 20000;
const int kReopenPollMs = 300;

using Clock = std::chrono::steady_clock;

int Ask(const MessageHandler& ask, const wxString& text, long style)
{
    return ask ? ask(text, style) : ShowMessage(text, style);
}

bool Download(HBDS_HANDLE handle, const wxString& file, void* progress, bool nameCheck, uint32_t& status)
{
    return hbds_update_firmware_file_1(handle, file.fn_str(), nameCheck ? 1 : 0, kPacketRetries, progress, 0,
                                       &status) != 0;
}

// The connection went with the restart, so the download's end was not seen: the port
// is opened again (`reopen` gives the new handle, or 0 while it cannot be had) and the
// scanner asked which version it runs.
template <typename Reopen>
bool SettleAfterRestart(const wxString& file, Reopen&& reopen, uint32_t& status)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kComeBackMs);
    while (Clock::now() < deadline) {
        const Clock::time_point pollEnd = Clock::now() + std::chrono::milliseconds(kReopenPollMs);
        if (const HBDS_HANDLE handle = reopen()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            return hbds_confirm_firmware(handle, file.fn_str(), static_cast<int>(std::max<long long>(left, 0)),
                                         &status) != 0;
        }
        std::this_thread::sleep_until(pollEnd);
    }
    VLOG(LOG_ERROR, "the scanner did not come back after its restart");
    return false;
}

// Whether the restarted scanner can be recognised: by what it answers on a serial
// port, by its USB descriptor on the bus.
bool HasIdentity(const DeviceEntry& entry)
{
    if (entry.kind == DEVICE_KIND_USB)
        return entry.usb.serialNumber[0] != '\0' || entry.usb.product[0] != '\0';
    return !entry.serialNumber.empty() || !entry.productName.empty();
}

// Opens the restarted scanner where it is now: a scanner of known identity only once it
// has said who it is (its path may have changed, or been taken by another device), one
// without on its old port.
template <typename Open>
bool Reattach(DeviceEntry& entry, Open&& open)
{
    if (!HasIdentity(entry))
        return open();
    return CHBDataStreamMnt::FindAgain(entry) && open();
}

wxString FileDeviceName(const wxString& file)
{
    HbdsKernelInfo info;
    uint32_t out = 0;
    return hbds_get_kernel_info(file.fn_str(), &info, &out) ? wxString(info.deviceName) : wxString();
}

bool OpenEntry(HBDS_HANDLE handle, DeviceEntry& entry, uint32_t& status)
{
    const bool opened = entry.kind == DEVICE_KIND_USB ? hbds_open_usb(handle, &entry.usb, 3, &status) != 0
                                                      : hbds_open_com(handle, &entry.serial, &status) != 0;
    if (opened)
        hbds_clean(handle, 0);
    return opened;
}

}  // namespace

bool CHBDataStreamMnt::UpgradeFirmware(const wxString& file, void* progress, const DeviceQuery& query,
                                       const MessageHandler& ask)
{
    // The questions to the user are asked with the line given back, so that whoever
    // answers them is never kept waiting for it; the check and each download hold it.
    if (!m_current || m_current.load()->handle == 0 || !progress)
        return false;
    bool compatible = true;
    if (CAppSettings::GetInstance().Values().checkCpu != 0) {
        CLineHold hold = m_line.Take(LineUsers::kFirmware);
        compatible = IsCpuCompatible(file, query);
    }
    if (!compatible) {
        Ask(ask, GetUiText("ID_DEVICE_UPGRADE_CPU_ERROR", "设备CPU不兼容，升级中止！"), wxOK | wxICON_ERROR);
        return false;
    }
    // The question about another model comes before a single packet is sent; a scanner
    // listed without a product name is checked by the download's own probe instead.
    const wxString listedName = m_current.load()->productName;
    const wxString fileName = FileDeviceName(file);
    const bool askedFirst = !listedName.empty() && !fileName.empty() && fileName != listedName;
    if (askedFirst && !AgreeToOtherModel(ask))
        return false;
    if (UpgradeFirmwareFile(file, progress, !askedFirst))
        return true;
    if (askedFirst || m_current.load()->status != HBDS_ERR_STOPPED || !AgreeToOtherModel(ask))
        return false;
    return UpgradeFirmwareFile(file, progress, false);
}

bool CHBDataStreamMnt::AgreeToOtherModel(const MessageHandler& ask)
{
    const int answer = Ask(ask, GetUiText("ID_DEVICE_UPGRADE_FILE_UNMATCH", "文件名与设备名不匹配，是否继续升级？"),
                           wxYES_NO | wxICON_QUESTION);
    if (answer != wxNO)
        return true;
    m_current.load()->status = HBDS_ERR_STOPPED;
    return false;
}

bool CHBDataStreamMnt::UpgradeFirmwareFile(const wxString& file, void* progress, bool nameCheck)
{
    CLineHold hold = m_line.Take(LineUsers::kFirmware);
    if (!m_current || m_current.load()->handle == 0 || !progress)
        return false;
    DeviceEntry* entry = m_current;
    if (Download(entry->handle, file, progress, nameCheck, entry->status))
        return true;
    if (entry->status != HBDS_ERR_RESTART_UNSEEN)
        return false;
    return SettleAfterRestart(
        file, [this, entry] { return Reattach(*entry, [this, entry] { return OpenDevice(entry); }) ? entry->handle : 0; },
        entry->status);
}

void CHBDataStreamMnt::NoteFirmwareVersion(const wxString& file)
{
    HbdsKernelInfo info;
    uint32_t out = 0;
    if (m_current && hbds_get_kernel_info(file.fn_str(), &info, &out))
        m_current.load()->systemInfo = WithFirmwareVersion(m_current.load()->systemInfo, info.version);
}

bool CHBDataStreamMnt::IsCpuCompatible(const wxString& file, const DeviceQuery& query)
{
    HbdsKernelInfo info;
    uint32_t out = 0;
    // A file without kernel information reads as type 0, which any processor takes;
    // the download itself refuses such a file.
    hbds_get_kernel_info(file.fn_str(), &info, &out);
    wxString answer;
    std::vector<SReplyValue> items;
    if (query && query(L"@QRYDCV", items)) {
        for (const SReplyValue& item : items) {
            if (item.name == "QRYDCV")
                answer = item.value;
        }
    }
    const bool kvm = answer.Find(kKvmProcessor) != wxNOT_FOUND;
    VLOG(LOG_DETAIL, "processor check: file type %u, device %s", info.type, U8(answer));
    if (info.type == 1)
        return kvm;
    if (info.type >= 2 && info.type <= 5)
        return !kvm;
    return true;
}

bool CHBDataStreamMnt::UpgradeEntryFirmware(DeviceEntry& entry, const wxString& file, void* progress, bool nameCheck)
{
    if (!progress)
        return false;
    std::memset(progress, 0, HBDS_PROGRESS_SIZE);
    const HBDS_HANDLE handle = hbds_create();
    if (handle == 0) {
        entry.status = HBDS_ERR_MALLOC;
        return false;
    }
    uint32_t status = HBDS_OK;
    bool done = false;
    if (OpenEntry(handle, entry, status)) {
        done = Download(handle, file, progress, nameCheck, status);
        if (!done && status == HBDS_ERR_RESTART_UNSEEN) {
            done = SettleAfterRestart(file, [handle, &entry] {
                hbds_close(handle);
                uint32_t reopened = HBDS_OK;
                return Reattach(entry, [&] { return OpenEntry(handle, entry, reopened); }) ? handle : HBDS_HANDLE(0);
            }, status);
        }
        hbds_close(handle);
    }
    hbds_destory(handle);
    entry.status = status;
    HbdsKernelInfo info;
    uint32_t out = 0;
    // The entry is this worker's own copy; its rows show the version once the worker has ended.
    if (done && hbds_get_kernel_info(file.fn_str(), &info, &out))
        entry.systemInfo = WithFirmwareVersion(entry.systemInfo, info.version);
    return done;
}
