#include "CliSupport.h"

#include "DemoScanner.h"
#include "DeviceMnt.h"
#include "HBDataStreamMnt.h"
#include "SaveCfg.h"

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
        return link.EnumSerialPort(options.port, options.baudRate, CSaveCfg::AskDevice);
    return link.EnumDevices(CSaveCfg::AskDevice);
}

namespace {

// Why the port given by path could not be opened, in the words of a shell user.
std::string NetworkPortProblem(const std::string& path, uint32_t status)
{
    switch (status) {
    case HBDS_ERR_NOT_EXIST:
        return "nothing accepts a connection at " + path + " (refused, or no such host)";
    case HBDS_ERR_COMMUNICATION:
        return path + " did not accept the connection in time";
    case HBDS_ERR_INVALID_PARAMS:
        return path + " is no rfc2217://HOST:PORT or tcp://HOST:PORT address";
    default:
        return "cannot open " + path + ": " + Utf8(CHBDataStreamMnt::ErrorTextForStatus(status));
    }
}

std::string PortProblem(const std::string& path, uint32_t status)
{
    if (path.find("://") != std::string::npos)
        return NetworkPortProblem(path, status);
    switch (status) {
    case HBDS_ERR_NOT_EXIST:
        return path + " does not exist";
    case HBDS_ERR_INVALID_FILE_FORMAT:
        return path + " is no serial port (not a terminal)";
    case HBDS_ERR_ACCESS_DENIED:
        return path + " is busy: another program has it open (or you may not open it)";
    default:
        return "cannot open " + path + ": " + Utf8(CHBDataStreamMnt::ErrorTextForStatus(status));
    }
}

}  // namespace

std::string NoScannerMessage(const SCliOptions& options)
{
    if (options.port.empty())
        return "vostrel-cli: no scanner found\n";
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

bool CSimulatedPort::AttachAndFindScanners(const SCliOptions& options, std::ostream& err)
{
    if (!Attach(options, err))
        return false;
    if (FindScanners(options) == 0) {
        err << NoScannerMessage(options);
        return false;
    }
    return true;
}
