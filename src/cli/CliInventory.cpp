// vostrel-cli inventory: every scanner that answers, with what a fleet keeper needs
// to know of it, and whether it holds the settings of a reference file.
#include "CliInventory.h"

#include "CliCommands.h"
#include "CliReport.h"
#include "CliSupport.h"
#include "app/XmlFile.h"
#include "config/ConnectSequence.h"
#include "config/SaveCfg.h"
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"

#include <wx/tokenzr.h>

#include <unistd.h>

#include <map>
#include <memory>
#include <set>

namespace {

const char* const kVersionLabels[] = {"Firmware", "Hardware", "Kernel"};

enum class EComparison { NotAsked, Same, Differs, OtherModel, NoReply, Gone };

bool IsGoneEntry(const DeviceEntry& entry)
{
    const std::string port = PortName(entry);
    return entry.status == HBDS_ERR_NOT_EXIST ||
           (port.find('/') != std::string::npos && port.find("://") == std::string::npos && access(port.c_str(), F_OK) != 0);
}

// Whether the scanner holds every setting of the file loaded for sending: the plan
// apply would execute, summarised.
EComparison CompareWithFile(DeviceEntry& entry, const SCliOptions& options)
{
    if (options.against.empty())
        return EComparison::NotAsked;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    std::unique_ptr<CDeviceInfo> model = CDeviceMnt::GetInstance().MatchDevice(entry.productName);
    const CSaveCfg::SPlanTarget target{model.get(), options.force};
    if (model && !engine.CompareFileWith({}, &target).otherModel.empty())
        return EComparison::OtherModel;
    link.SetReadTimeout(static_cast<int32_t>(options.timeoutMs));
    if (!link.OpenDevice(&entry))
        return IsGoneEntry(entry) ? EComparison::Gone : EComparison::NoReply;
    std::map<wxString, wxString> current;
    const bool read = ReadCurrentValues(current);
    const bool gone = !read && IsGoneEntry(entry);
    link.CloseDevice(0);
    if (!read)
        return gone ? EComparison::Gone : EComparison::NoReply;
    return engine.CompareFileWith(current, &target).Differs() ? EComparison::Differs : EComparison::Same;
}

nlohmann::json ComparisonJson(EComparison comparison)
{
    switch (comparison) {
    case EComparison::Same:
        return false;
    case EComparison::Differs:
    case EComparison::OtherModel:
        return true;
    default:
        return nullptr;
    }
}

const char* ComparisonText(EComparison comparison)
{
    switch (comparison) {
    case EComparison::Same:
        return "same";
    case EComparison::Differs:
        return "differs";
    case EComparison::OtherModel:
        return "other model";
    case EComparison::Gone:
        return "gone";
    default:
        return "no reply";
    }
}

void EmitInventoryRow(std::ostream& out, const DeviceEntry& entry, EComparison comparison, const SCliOptions& options)
{
    const std::string model = entry.productName.empty() ? std::string("unknown") : ModelName(entry.productName);
    nlohmann::json record = ScannerRecord(entry, model);
    std::vector<std::string> columns = {PortName(entry), Utf8(entry.productName), Utf8(entry.serialNumber)};
    for (const char* label : kVersionLabels) {
        const wxString version = SystemInfoValue(entry.systemInfo, label);
        record[wxString(label).Lower().utf8_string()] = OrNull(version);
        columns.push_back(Utf8(version));
    }
    columns.push_back(model);
    if (comparison != EComparison::NotAsked) {
        record["differs"] = ComparisonJson(comparison);
        columns.push_back(ComparisonText(comparison));
    }
    std::string line;
    for (const std::string& column : columns) {
        if (!line.empty())
            line += options.csv ? "," : "\t";
        line += options.csv ? CsvField(column) : (column.empty() ? std::string("-") : Column(column));
    }
    EmitRecord(out, "scanners", record, line);
}

wxString OtherModelText(const DeviceEntry& entry, const SCliOptions& options)
{
    std::unique_ptr<CDeviceInfo> model = CDeviceMnt::GetInstance().MatchDevice(entry.productName);
    const CSaveCfg::SPlanTarget target{model.get(), options.force};
    return CSaveCfg::GetInstance().CompareFileWith({}, &target).otherModel;
}

}  // namespace

wxString SystemInfoValue(const wxString& systemInfo, const wxString& label)
{
    const wxString wanted = label.Lower();
    wxStringTokenizer lines(systemInfo, "\r\n", wxTOKEN_STRTOK);
    while (lines.HasMoreTokens()) {
        const wxString line = lines.GetNextToken();
        const int colon = line.Find(':');
        if (colon != wxNOT_FOUND && line.Left(static_cast<size_t>(colon)).Lower().Contains(wanted))
            return line.Mid(static_cast<size_t>(colon) + 1).Strip(wxString::both);
    }
    return wxString();
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

int RunInventory(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (!options.against.empty() && !LoadFileToSend(options.against)) {
        err << UnreadableFileMessage(options.against);
        return CLI_BAD_FILE;
    }
    if (!engine.GetRefusedFileSettings().empty())
        err << "vostrel-cli: " << options.against << " holds settings no scanner takes: " << RefusedSettingsText() << "\n";
    CSimulatedPort simulated;
    if (!simulated.AttachAndFindScanners(options, err))
        return CLI_NO_SCANNER;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    if (options.csv)
        out << "port,product,serialNumber,firmware,hardware,kernel,model" << (options.against.empty() ? "" : ",differs")
            << "\n";
    std::set<EComparison> seen;
    for (size_t i = 0; i < link.GetDeviceCount(); ++i) {
        DeviceEntry& entry = *link.GetDevice(i);
        const EComparison comparison = CompareWithFile(entry, options);
        seen.insert(comparison);
        EmitInventoryRow(out, entry, comparison, options);
        if (comparison == EComparison::Gone)
            err << "vostrel-cli: " << PortName(entry) << " does not exist any more: the scanner went away\n";
        else if (comparison == EComparison::OtherModel)
            err << "vostrel-cli: " << PortName(entry) << ": " << Utf8(OtherModelText(entry, options)) << "\n";
        else if (comparison == EComparison::Differs && IsJsonReport())
            err << "vostrel-cli: " << PortName(entry) << " differs from " << options.against << "\n";
    }
    // The same order of causes as apply and diff: a vanished port, silence, a file
    // for another model, differences.
    if (seen.count(EComparison::Gone))
        return CLI_NO_SCANNER;
    if (seen.count(EComparison::NoReply))
        return CLI_NO_REPLY;
    if (seen.count(EComparison::OtherModel))
        return CLI_REFUSED;
    return seen.count(EComparison::Differs) ? CLI_DIFFERENT : CLI_OK;
}
