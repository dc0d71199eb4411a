#include "CliSupport.h"

#include "CliCommands.h"
#include "app/IniFile.h"
#include "app/XmlFile.h"
#include "config/SaveCfg.h"
#include "demo/DemoScanner.h"
#include "device/DeviceAccess.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "model/PageMntXmlInfo.h"

#include <wx/filename.h>
#include <wx/log.h>

#include <cstdio>

#include <sys/stat.h>

CSimulatedPort::~CSimulatedPort()
{
    if (m_port != 0)
        DetachDemoScanner(m_port);
}

std::string Utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

bool CSimulatedPort::Attach(const SCliOptions& options, std::ostream& err)
{
    if (options.simModel.empty())
        return true;
    wxString error;
    m_port = AttachDemoScanner(wxString::FromUTF8(options.simModel), wxString::FromUTF8(options.simProduct),
                               options.baudRate, error);
    if (m_port == 0) {
        err << "vostrel-cli: " << Utf8(error) << "\n";
        return false;
    }
    return true;
}

std::string PortName(const DeviceEntry& entry)
{
    if (entry.kind == DEVICE_KIND_USB)
        return entry.usb.path;
    char path[512] = {};
    if (hbds_serial_port_path(entry.serial.port, path, sizeof path) == 0)
        return "port " + std::to_string(entry.serial.port);
    return path;
}

std::string ModelName(const wxString& productName)
{
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
        if (const CDeviceInfo* model = category->FindByProductName(productName))
            return Utf8(model->m_key);
    }
    return "unknown";
}

std::string OrDash(const wxString& text)
{
    return text.empty() ? std::string("-") : Utf8(text);
}

nlohmann::json OrNull(const wxString& text)
{
    return text.empty() ? nlohmann::json() : nlohmann::json(Utf8(text));
}

nlohmann::json ScannerRecord(const DeviceEntry& entry, const std::string& model)
{
    return {{"port", PortName(entry)},
            {"product", OrNull(entry.productName)},
            {"serialNumber", OrNull(entry.serialNumber)},
            {"model", model == "unknown" ? nlohmann::json() : nlohmann::json(model)}};
}

// Lists or opens the scanners the options point at. Returns the number of entries.
int FindScanners(const SCliOptions& options)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    if (!options.port.empty())
        return link.EnumSerialPort(options.port, options.baudRate, CSaveCfg::AskPort);
    return link.EnumDevices(CSaveCfg::AskPort);
}

namespace {

std::string LastNetworkProblem()
{
    char problem[1024] = {};
    hbds_last_network_problem(problem, sizeof problem);
    return problem;
}

// Why the port given by path could not be opened, in the words of a shell user.
std::string NetworkPortProblem(const std::string& path, uint32_t status)
{
    const std::string problem = LastNetworkProblem();
    switch (status) {
    case HBDS_ERR_CERTIFICATE:
        return "refused " + path + ": " + (problem.empty() ? std::string("the TLS handshake failed") : problem);
    case HBDS_ERR_COMMUNICATION:
        if (!problem.empty())
            return path + ": " + problem;
        return path + " did not accept the connection in time";
    case HBDS_ERR_NOT_EXIST:
        return "nothing accepts a connection at " + path + " (refused, or no such host)";
    case HBDS_ERR_INVALID_PARAMS:
        return path + " is no rfc2217://HOST:PORT or tcp://HOST:PORT address (nor the same with +tls)";
    default:
        return "cannot open " + path + ": " + Utf8(CHBDataStreamMnt::ErrorTextForStatus(status));
    }
}

std::string PortProblem(const std::string& path, uint32_t status)
{
    if (path.find("://") != std::string::npos)
        return NetworkPortProblem(path, status);
    struct stat file {};
    switch (status) {
    case HBDS_ERR_NOT_EXIST:
        // A name that is there but has nothing behind it (/dev/tty without a
        // terminal, an unplugged adapter's node) is no missing file.
        if (stat(path.c_str(), &file) == 0)
            return path + " is there but cannot be opened: no device answers behind it";
        return path + " does not exist";
    case HBDS_ERR_INVALID_FILE_FORMAT:
        return path + " is no serial port (not a terminal)";
    case HBDS_ERR_ACCESS_DENIED: {
        const wxString help = DeviceAccessHelp(path);
        return help.empty() ? path + " is busy: another program has it open" : Utf8(help);
    }
    default:
        return "cannot open " + path + ": " + Utf8(CHBDataStreamMnt::ErrorTextForStatus(status));
    }
}

}  // namespace

void UseTlsFiles(const SCliOptions& options, const wxString& iniPath)
{
    std::string authority = options.caFile;
    if (authority.empty() && wxFileName::FileExists(iniPath)) {
        wxLogNull quiet;  // an unreadable settings file only means no stored authority
        authority = ReadIniFile(iniPath)->Read("cfg/TlsCaFile", wxString()).utf8_string();
    }
    hbds_set_tls_files(authority.c_str(), options.certFile.c_str(), options.keyFile.c_str());
}

void UseStoredSerialPorts(const wxString& iniPath)
{
    if (!wxFileName::FileExists(iniPath))
        return;
    wxLogNull quiet;  // an unreadable settings file only means no stored ports
    const std::string ports = ReadIniFile(iniPath)->Read("cfg/SerialPorts", wxString()).utf8_string();
    if (!ports.empty())
        hbds_add_serial_path_list(ports.c_str());
}

std::string NoScannerMessage(const SCliOptions& options)
{
    if (options.port.empty())
        return "vostrel-cli: no scanner found\n" + Utf8(InaccessibleDevicesHelp());
    const uint32_t status = CHBDataStreamMnt::GetInstance().GetPortStatus();
    if (status != HBDS_OK)
        return "vostrel-cli: " + PortProblem(options.port, status) + "\n";
    // A port whose answer broke a bound says so: that is no silent scanner.
    const wxString problem = CHBDataStreamMnt::GetInstance().GetReadProblem();
    return "vostrel-cli: no scanner answered at " + options.port + (problem.empty() ? "" : ": " + Utf8(problem)) + "\n";
}

bool ReadCurrentValues(std::map<wxString, wxString>& values)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.ClearValues();
    if (!engine.ReadBackValues())
        return false;
    values = engine.GetValueMap();
    for (const char* name : {"DFMSET", "DFMADD"}) {
        wxString formats;
        if (values.count(name) && CSaveCfg::QueryCommand("DFMQCU", "", formats, "@"))
            values[name] = formats;
    }
    return true;
}

// --sim means the simulated scanner, not the first of whatever else is plugged in.
SCliOptions CSimulatedPort::Searched(const SCliOptions& options) const
{
    SCliOptions searched = options;
    char path[512] = {};
    if (m_port != 0 && searched.port.empty() && hbds_serial_port_path(m_port, path, sizeof path) != 0)
        searched.port = path;
    return searched;
}

bool CSimulatedPort::AttachAndFindScanners(const SCliOptions& options, std::ostream& err)
{
    if (!Attach(options, err))
        return false;
    const SCliOptions searched = Searched(options);
    if (FindScanners(searched) == 0) {
        err << NoScannerMessage(searched);
        return false;
    }
    return true;
}

bool LoadFileToSend(const std::string& path)
{
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (pages.GetPages().empty())
        pages.Load();
    return CSaveCfg::GetInstance().LoadFileForSending(PathFromBytes(path));
}

std::string UnreadableFileMessage(const std::string& path)
{
    const wxString reason = CSaveCfg::GetInstance().GetLastFileError();
    return "vostrel-cli: " + path + " is no configuration file that can be read" + (reason.empty() ? "" : ": " + Utf8(reason)) +
           "\n";
}

namespace {

std::string NotesText(const std::vector<CSaveCfg::SFileSettingNote>& notes)
{
    std::string text;
    for (const auto& note : notes)
        text += (text.empty() ? "" : ", ") + Column(note.name) + " (" + Utf8(note.reason) + ")";
    return text;
}

}  // namespace

std::string RefusedSettingsText()
{
    return NotesText(CSaveCfg::GetInstance().GetRefusedFileSettings());
}

std::string RefusedSettingsText(const std::vector<CSaveCfg::SFileSettingNote>& refused)
{
    return NotesText(refused);
}

std::string LeftOutSettingsText(const CSaveCfg::SFileComparison& comparison)
{
    return NotesText(comparison.leftOut);
}

void NoteLeftOutSettings(const CSaveCfg::SFileComparison& comparison, std::ostream& err)
{
    const std::string leftOut = LeftOutSettingsText(comparison);
    if (!leftOut.empty())
        err << "vostrel-cli: note: " << leftOut << "\n";
}

std::string Column(const wxString& text)
{
    return Column(Utf8(text));
}

std::string Column(const std::string& text)
{
    std::string printable;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            printable += escaped;
        } else {
            printable += byte == '\\' ? std::string("\\\\") : std::string(1, c);
        }
    }
    return printable;
}
