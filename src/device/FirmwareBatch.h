// What the firmware upgrade windows decide without a window: the progress text and
// bar, the batch files beside the program ("Time.ini", "Firmupdate.ini", the port-lock
// value, the day logs) and whether a batch row is upgraded.
#pragma once

#include "hbds/hbds_firmware.h"

#include <wx/datetime.h>
#include <wx/string.h>

#include <vector>

struct DeviceEntry;

// A copy of a progress record that a download thread is writing.
HbdsFirmwareProgress SnapshotProgress(const void* record);
// The progress box: each part up to the current one with its kind, and under it the
// steps done (all four for finished parts, up to the current step for the current one).
wxString UpgradeProgressText(const HbdsFirmwareProgress& progress);
// The bar (0 to 1000) for a step's percent; anything beyond 100 % shows as 0.
int UpgradeBarValue(uint32_t percent);

// "Time.ini": the waits of a batch round.
struct SBatchDelays {
    int afterListMs = 1000;   // "delay"
    int afterRoundMs = 3000;  // "delayEnd"
};
SBatchDelays ReadBatchDelays(const wxString& programDirectory);

// "Firmupdate.ini", section "UpdateInfo": which scanners have the current file, by
// the key BatchScannerKey gives.
bool IsScannerDone(const wxString& programDirectory, const wxString& key);
void SetScannerDone(const wxString& programDirectory, const wxString& key, bool done);
// A scanner's key there: its serial number, or for one without, its port and product
// name, so that two such scanners are not taken for one (nor for none).
wxString BatchScannerKey(const DeviceEntry& entry, const wxString& port);
// Marks every scanner listed there "FALSE": with a new file every scanner is due again.
void ResetAllScanners(const wxString& programDirectory);

// The port-lock value of the serial driver ("VcomBindMode"), kept in "ufcom.ini"
// beside the program (section "Parameters"); -1 when there is none. Only 3 lets
// scanners be upgraded.
int ReadPortLockMode(const wxString& programDirectory);
const int kPortLocked = 3;

// A batch row's texts: "COM%d" or "USB-%d", and the version: the second line of the
// system text, after its ": ".
wxString BatchPortName(const DeviceEntry& entry, int usbIndex);
wxString BatchVersionOf(const wxString& systemInfo);
// The system text with `version` where BatchVersionOf finds the version; unchanged
// when it has no second line.
wxString WithFirmwareVersion(const wxString& systemInfo, const wxString& version);

// Whether a row is upgraded in this round, and the result text it shows otherwise.
struct SBatchRowDecision {
    bool start = false;
    const char* identifier = "";  // the row's result text
    const char* fallback = "";
};
struct SBatchRowFacts {
    int portLockMode = -1;
    bool matchFile = false;
    bool firmwareMode = true;
    uint32_t fileType = 0;
    wxString fileDeviceName;
    wxString productName;
    bool done = false;  // "TRUE" in "Firmupdate.ini"
};
SBatchRowDecision DecideBatchRow(const SBatchRowFacts& facts);

// One finished scanner in the day log.
struct SBatchLogRecord {
    wxString serialNumber;
    wxString name;
    wxString oldVersion;
    wxString version;
    wxString state;
    wxString time;  // "%d-%02d-%02d %02d:%02d:%02d"
};
// "batch_update_log/YYYYMMDD.xml" below the program directory for the local date of `when`.
wxString DayLogPath(const wxString& programDirectory, const wxDateTime& when);
wxString LogTimeText(const wxDateTime& when);
// Appends the record to the day's log, creating the folder and an empty log first
// when there is none. False (logged) when the file cannot be read or written.
bool AppendDayLog(const wxString& path, const SBatchLogRecord& record);

// Reader of a day log (root "Vostrel", or the older "Vastrel").
class CBatchLogXmlInfo {
public:
    bool Load(const wxString& path);
    const std::vector<SBatchLogRecord>& GetRecords() const { return m_records; }

private:
    std::vector<SBatchLogRecord> m_records;
};
