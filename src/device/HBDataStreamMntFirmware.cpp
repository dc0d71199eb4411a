// Firmware download and the processor check of the device link manager.
#include "HBDataStreamMnt.h"

#include "AppSettings.h"
#include "Log.h"

#include "hbds_firmware.h"

#include <cstring>

namespace {

// The retries of every download packet before the library gives up on the line.
const int kPacketRetries = 30;
const char* const kKvmProcessor = "KVMZ2287";

int Ask(const MessageHandler& ask, const wxString& text, long style)
{
    return ask ? ask(text, style) : ShowMessage(text, style);
}

bool Download(HBDS_HANDLE handle, const wxString& file, void* progress, bool nameCheck, uint32_t& status)
{
    return hbds_update_firmware_file_1(handle, file.fn_str(), nameCheck ? 1 : 0, kPacketRetries, progress, 0,
                                       &status) != 0;
}

}  // namespace

bool CHBDataStreamMnt::UpgradeFirmware(const wxString& file, void* progress, const DeviceQuery& query,
                                       const MessageHandler& ask)
{
    // The checks, the download and its second try are one operation on the line.
    CLineHold hold = m_line.Take(LineUsers::kFirmware);
    if (!m_current || m_current.load()->handle == 0 || !progress)
        return false;
    if (CAppSettings::GetInstance().Values().checkCpu != 0 && !IsCpuCompatible(file, query)) {
        Ask(ask, GetUiText("ID_DEVICE_UPGRADE_CPU_ERROR", "设备CPU不兼容，升级中止！"), wxOK | wxICON_ERROR);
        return false;
    }
    if (UpgradeFirmwareFile(file, progress, true))
        return true;
    if (m_current.load()->status != HBDS_ERR_STOPPED)
        return false;
    const int answer = Ask(ask, GetUiText("ID_DEVICE_UPGRADE_FILE_UNMATCH", "文件名与设备名不匹配，是否继续升级？"),
                           wxYES_NO | wxICON_QUESTION);
    if (answer == wxNO)
        return false;
    return UpgradeFirmwareFile(file, progress, false);
}

bool CHBDataStreamMnt::UpgradeFirmwareFile(const wxString& file, void* progress, bool nameCheck)
{
    CLineHold hold = m_line.Take(LineUsers::kFirmware);
    if (!m_current || m_current.load()->handle == 0 || !progress)
        return false;
    return Download(m_current.load()->handle, file, progress, nameCheck, m_current.load()->status);
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
    const bool opened = entry.kind == DEVICE_KIND_USB ? hbds_open_usb(handle, &entry.usb, 3, &status) != 0
                                                      : hbds_open_com(handle, &entry.serial, &status) != 0;
    bool done = false;
    if (opened) {
        hbds_clean(handle, 0);
        done = Download(handle, file, progress, nameCheck, status);
        hbds_close(handle);
    }
    hbds_destory(handle);
    entry.status = status;
    return done;
}
