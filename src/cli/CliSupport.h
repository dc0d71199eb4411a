// What the commands of vostrel-cli share: a simulated scanner for the length of one
// command, finding the scanners the options point at, and naming them in output.
#pragma once

#include "CliOptions.h"
#include "config/SaveCfg.h"
#include "device/DeviceEntry.h"

#include <nlohmann/json.hpp>
#include <wx/string.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

std::string Utf8(const wxString& text);

// A simulated scanner plugged in for the length of one command (--sim).
class CSimulatedPort {
public:
    CSimulatedPort() = default;
    ~CSimulatedPort();
    CSimulatedPort(const CSimulatedPort&) = delete;
    CSimulatedPort& operator=(const CSimulatedPort&) = delete;

    // True when no simulated scanner was asked for or it is plugged in.
    bool Attach(const SCliOptions& options, std::ostream& err);
    // Attach, then list and identify the scanners the options point at; false, with
    // the message on `err`, when there is none.
    bool AttachAndFindScanners(const SCliOptions& options, std::ostream& err);
    // The options with the simulated scanner's port as --port, when one was attached
    // and no port given.
    SCliOptions Searched(const SCliOptions& options) const;

private:
    uint32_t m_port = 0;
};

std::string PortName(const DeviceEntry& entry);
// The catalogue key of the model a scanner reporting `productName` is, or "unknown".
std::string ModelName(const wxString& productName);
std::string OrDash(const wxString& text);
// A scanner as a JSON record: port, product, serial number and model (null when
// unknown, as are empty identity texts).
nlohmann::json ScannerRecord(const DeviceEntry& entry, const std::string& model);
// A text for JSON: null when empty.
nlohmann::json OrNull(const wxString& text);

// Lists and identifies the scanners the options point at. Returns the number of entries.
int FindScanners(const SCliOptions& options);
std::string NoScannerMessage(const SCliOptions& options);
// Hands the TLS files of the options to the link, the authority from the settings file
// `iniPath` (TlsCaFile=) when --ca is not given.
void UseTlsFiles(const SCliOptions& options, const wxString& iniPath);
// Adds the serial ports listed as SerialPorts= in the settings file, as the program
// does: pseudo-terminals and network ports are then found like system ports.
void UseStoredSerialPorts(const wxString& iniPath);

// Reads the open scanner's current values: "@*", then its data formats, which "@*"
// does not carry and the connect sequence asks for on their own, so that a file read
// from this scanner compares equal to it. False when the scanner does not answer.
bool ReadCurrentValues(std::map<wxString, wxString>& values);

// Prepares the configuration file `path` (bytes from the command line) for sending,
// with the settings pages loaded first, so that every command judges it alike.
bool LoadFileToSend(const std::string& path);
// The message for a configuration file that cannot be used, with the reason when known.
std::string UnreadableFileMessage(const std::string& path);
// "NAME (why), ..." of the loaded file's settings that no scanner can take, or that
// are left out or merged; empty when there are none.
std::string RefusedSettingsText();
std::string RefusedSettingsText(const std::vector<CSaveCfg::SFileSettingNote>& refused);
std::string LeftOutSettingsText(const CSaveCfg::SFileComparison& comparison);
// Says on `err` which settings of the loaded file are left out or merged, if any.
void NoteLeftOutSettings(const CSaveCfg::SFileComparison& comparison, std::ostream& err);
// A text for one column of a tab-separated line: control characters escaped.
std::string Column(const wxString& text);
std::string Column(const std::string& text);
