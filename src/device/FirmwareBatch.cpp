#include "FirmwareBatch.h"

#include "DeviceEntry.h"
#include "app/IniFile.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "app/XmlFile.h"

#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/mstream.h>
#include <wx/wfstream.h>

#include <memory>

namespace {

const char* const kLogFolder = "batch_update_log";

void SaveIni(wxFileConfig& ini, const wxString& path)
{
    if (!WriteIniFile(ini, path))
        VLOG(LOG_ERROR, "%s %s %s", "Save", U8(path), "ERROR");
}

wxString PartText(uint8_t kind)
{
    switch (kind) {
    case HBDS_FW_PART_BOOT:
        return GetUiText("ID_DEVICE_UPGRADE_BOOT", "更新 Boot 模块");
    case HBDS_FW_PART_KERNEL:
        return GetUiText("ID_DEVICE_UPGRADE_KERN", "更新 Kernel 模块");
    case HBDS_FW_PART_CONFIG:
        return GetUiText("ID_DEVICE_UPGRADE_CONF", "更新 Config 模块");
    case HBDS_FW_PART_APPLICATION:
        return GetUiText("ID_DEVICE_UPGRADE_APPL", "更新 Appl 模块");
    default:
        return GetUiText("ID_DEVICE_UPGRADE_UNKNOWN", "更新未知模块");
    }
}

wxString StepText(uint32_t step)
{
    switch (step) {
    case 0:
        return GetUiText("ID_DEVICE_UPGRADE_SEND_CMD", "send update command and probing");
    case 1:
        return GetUiText("ID_DEVICE_UPGRADE_SET_PARA", "set param");
    case 2:
        return GetUiText("ID_DEVICE_UPGRADE_SEND_DATA", "send data");
    default:
        return GetUiText("ID_DEVICE_UPGRADE_WAIT_UPDATE", "wait device to update");
    }
}

int ReadIniInt(const wxString& path, const wxString& key, int fallback)
{
    if (!wxFileName::FileExists(path))
        return fallback;
    long value = fallback;
    return ReadIniFile(path)->Read(key, &value) ? static_cast<int>(value) : fallback;
}

}  // namespace

HbdsFirmwareProgress SnapshotProgress(const void* record)
{
    HbdsFirmwareProgress copy;
    const auto* fields = static_cast<const uint32_t*>(record);
    auto* target = reinterpret_cast<uint32_t*>(&copy);
    for (size_t i = 0; i < HBDS_PROGRESS_SIZE / 4; ++i)
        target[i] = __atomic_load_n(fields + i, __ATOMIC_RELAXED);
    return copy;
}

wxString UpgradeProgressText(const HbdsFirmwareProgress& progress)
{
    wxString text;
    if (progress.partCount == 0)
        return text;  // nothing has gone to the scanner yet (the file and model checks)
    const uint32_t current = std::min<uint32_t>(progress.part, sizeof progress.partKinds - 1);
    for (uint32_t part = 0; part <= current; ++part) {
        text << PartText(progress.partKinds[part]) << "\r\n";
        const uint32_t lastStep = part < current ? 3 : std::min<uint32_t>(progress.step, 3);
        for (uint32_t step = 0; step <= lastStep; ++step)
            text << "\t" << StepText(step) << "\r\n";
    }
    return text;
}

int UpgradeBarValue(uint32_t percent)
{
    const uint64_t value = 10ull * percent;
    return value <= 1000 ? static_cast<int>(value) : 0;
}

SBatchDelays ReadBatchDelays(const wxString& programDirectory)
{
    const wxString path = programDirectory + "Time.ini";
    SBatchDelays delays;
    delays.afterListMs = ReadIniInt(path, "/Time/delay", delays.afterListMs);
    delays.afterRoundMs = ReadIniInt(path, "/Time/delayEnd", delays.afterRoundMs);
    return delays;
}

bool IsScannerDone(const wxString& programDirectory, const wxString& key)
{
    const wxString path = programDirectory + "Firmupdate.ini";
    if (key.empty() || !wxFileName::FileExists(path))
        return false;
    return ReadIniFile(path)->Read("/UpdateInfo/" + key, wxString()) == "TRUE";
}

void SetScannerDone(const wxString& programDirectory, const wxString& key, bool done)
{
    if (key.empty())
        return;
    const wxString path = programDirectory + "Firmupdate.ini";
    auto ini = ReadIniFile(path);
    ini->Write("/UpdateInfo/" + key, done ? "TRUE" : "FALSE");
    SaveIni(*ini, path);
}

wxString BatchScannerKey(const DeviceEntry& entry, const wxString& port)
{
    if (!entry.serialNumber.empty())
        return entry.serialNumber;
    wxString key = port + "_" + entry.productName;
    // A slash would make a path of the key, and "=" or a line break end it early.
    for (wxString::iterator it = key.begin(); it != key.end(); ++it) {
        if (*it == '/' || *it == '\\' || *it == '=' || *it == '\r' || *it == '\n' || *it == ' ')
            *it = '_';
    }
    return key;
}

void ResetAllScanners(const wxString& programDirectory)
{
    const wxString path = programDirectory + "Firmupdate.ini";
    if (!wxFileName::FileExists(path))
        return;
    auto ini = ReadIniFile(path);
    ini->SetPath("/UpdateInfo");
    std::vector<wxString> keys;
    wxString key;
    long cookie = 0;
    for (bool more = ini->GetFirstEntry(key, cookie); more; more = ini->GetNextEntry(key, cookie))
        keys.push_back(key);
    for (const wxString& serialNumber : keys)
        ini->Write(serialNumber, "FALSE");
    SaveIni(*ini, path);
}

int ReadPortLockMode(const wxString& programDirectory)
{
    return ReadIniInt(programDirectory + "ufcom.ini", "/Parameters/VcomBindMode", -1);
}

wxString BatchPortName(const DeviceEntry& entry, int usbIndex)
{
    if (entry.kind == DEVICE_KIND_SERIAL)
        return wxString::Format("COM%d", static_cast<int>(entry.serial.port & 0xFFFF));
    return wxString::Format("USB-%d", usbIndex);
}

wxString BatchVersionOf(const wxString& systemInfo)
{
    wxString rest = systemInfo;
    rest.Replace("\r\n", "\n");
    const int firstBreak = rest.Find('\n');
    if (firstBreak == wxNOT_FOUND)
        return wxString();
    wxString second = rest.Mid(static_cast<size_t>(firstBreak) + 1).BeforeFirst('\n');
    const int colon = second.Find(": ");
    return colon == wxNOT_FOUND ? second : second.Mid(static_cast<size_t>(colon) + 2);
}

wxString WithFirmwareVersion(const wxString& systemInfo, const wxString& version)
{
    const bool crlf = systemInfo.Find("\r\n") != wxNOT_FOUND;
    wxString text = systemInfo;
    text.Replace("\r\n", "\n");
    const int firstBreak = text.Find('\n');
    if (firstBreak == wxNOT_FOUND)
        return systemInfo;
    const size_t lineStart = static_cast<size_t>(firstBreak) + 1;
    const int lineLength = text.Mid(lineStart).Find('\n');
    const size_t lineEnd = lineLength == wxNOT_FOUND ? text.length() : lineStart + static_cast<size_t>(lineLength);
    const wxString line = text.Mid(lineStart, lineEnd - lineStart);
    const int colon = line.Find(": ");
    const size_t valueStart = colon == wxNOT_FOUND ? lineStart : lineStart + static_cast<size_t>(colon) + 2;
    text = text.Left(valueStart) + version + text.Mid(lineEnd);
    if (crlf)
        text.Replace("\n", "\r\n");
    return text;
}

SBatchRowDecision DecideBatchRow(const SBatchRowFacts& facts)
{
    if (facts.portLockMode != kPortLocked)
        return {false, "ID_PORT_UNLOCKED", "串口未锁定"};
    if (facts.matchFile && facts.firmwareMode &&
        !((facts.fileType == 1 || facts.fileType == 2) && facts.fileDeviceName == facts.productName))
        return {false, "ID_MATCH_FAIL", "文件不匹配"};
    if (facts.done)
        return {false, "ID_RESULT_COMPLETE", "完成"};
    return {true, "ID_RESULT_UPDATING", "更新中"};
}

wxString DayLogPath(const wxString& programDirectory, const wxDateTime& when)
{
    return programDirectory + kLogFolder + wxFileName::GetPathSeparator() +
           wxString::Format("%4d%02d%02d.xml", when.GetYear(), static_cast<int>(when.GetMonth()) + 1, when.GetDay());
}

wxString LogTimeText(const wxDateTime& when)
{
    return wxString::Format("%d-%02d-%02d %02d:%02d:%02d", when.GetYear(), static_cast<int>(when.GetMonth()) + 1,
                            when.GetDay(), when.GetHour(), when.GetMinute(), when.GetSecond());
}

bool AppendDayLog(const wxString& path, const SBatchLogRecord& record)
{
    if (!wxFileName::FileExists(path)) {
        wxFileName::Mkdir(wxFileName(path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        wxXmlDocument empty;
        empty.SetRoot(new wxXmlNode(wxXML_ELEMENT_NODE, "Vostrel"));
        if (!SaveXmlFile(empty, path)) {
            VLOG(LOG_ERROR, "%s %s %s", "Save", U8(path), "ERROR");
            return false;
        }
    }
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, {"Vostrel", "Vastrel"}, "FirmwareBatch.cpp"))
        return false;
    auto* element = new wxXmlNode(wxXML_ELEMENT_NODE, "log");
    // wxXmlNode keeps attributes in the order they are added.
    element->AddAttribute("SN", record.serialNumber);
    element->AddAttribute("Name", record.name);
    element->AddAttribute("OldVersion", record.oldVersion);
    element->AddAttribute("Version", record.version);
    element->AddAttribute("State", record.state);
    element->AddAttribute("Time", record.time);
    document.GetRoot()->AddChild(element);
    return SaveXmlFile(document, path);
}

bool CBatchLogXmlInfo::Load(const wxString& path)
{
    m_records.clear();
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, {"Vostrel", "Vastrel"}, "FirmwareBatch.cpp"))
        return false;
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "log")
            continue;
        m_records.push_back({node->GetAttribute("SN"), node->GetAttribute("Name"), node->GetAttribute("OldVersion"),
                             node->GetAttribute("Version"), node->GetAttribute("State"), node->GetAttribute("Time")});
    }
    return true;
}
