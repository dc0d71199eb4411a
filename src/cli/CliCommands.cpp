#include "CliCommands.h"

#include "CliReport.h"
#include "CliSupport.h"

#include "config/SaveCfg.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"

#include <algorithm>
#include <cstdio>

namespace {

// What one exchange takes back at most; a longer request is cut there.
const size_t kMaxShownItems = 1024;

DeviceEntry* PickScannerForSend(const SCliOptions& options)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    // A port given by hand is used at once: nothing is gained by identifying it first.
    if (!options.port.empty())
        return link.AddSerialPort(options.port, options.baudRate);
    return link.EnumDevices(CSaveCfg::AskPort) > 0 ? link.GetDevice(0) : nullptr;
}

// The first bytes of the last reply, escaped, for a reply that could not be used.
std::string EscapedBytes(const uint8_t* bytes, size_t length)
{
    const size_t shown = std::min<size_t>(length, 48);
    std::string text;
    for (size_t i = 0; i < shown; ++i) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", bytes[i]);
        text += (bytes[i] < 0x20 || bytes[i] >= 0x7F) ? std::string(escaped) : std::string(1, static_cast<char>(bytes[i]));
    }
    return text + (shown < length ? "..." : "");
}

}  // namespace

const char* StatusName(wchar_t status)
{
    switch (status) {
    case REPLY_ACK:
        return "ACK";
    case REPLY_NAK:
        return "NAK";
    case REPLY_ENQ:
        return "ENQ";
    default:
        return "?";
    }
}

// The one escaping of every field of the text output (Column).
std::string PrintableValue(const wchar_t* value)
{
    return value ? Column(wxString(value)) : std::string();
}

int RunList(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    CSimulatedPort simulated;
    if (!simulated.AttachAndFindScanners(options, err))
        return CLI_NO_SCANNER;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    for (size_t i = 0; i < link.GetDeviceCount(); ++i) {
        const DeviceEntry& entry = *link.GetDevice(i);
        const std::string model = entry.productName.empty() ? std::string("unknown") : ModelName(entry.productName);
        EmitRecord(out, "scanners", ScannerRecord(entry, model),
                   Column(PortName(entry)) + '\t' + Column(OrDash(entry.productName)) + '\t' +
                       Column(OrDash(entry.serialNumber)) + '\t' + model);
    }
    return CLI_OK;
}

int RunSend(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    CSimulatedPort simulated;
    if (!simulated.Attach(options, err))
        return CLI_NO_SCANNER;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    DeviceEntry* entry = PickScannerForSend(simulated.Searched(options));
    if (!entry) {
        err << NoScannerMessage(options);
        return CLI_NO_SCANNER;
    }
    if (!link.OpenDevice(entry)) {
        const wxString reason = CHBDataStreamMnt::ErrorTextForStatus(entry->status);
        err << "vostrel-cli: cannot open " << PortName(*entry) << (reason.empty() ? "" : ": ") << Utf8(reason) << "\n";
        return CLI_NO_SCANNER;
    }
    link.SetReadTimeout(static_cast<int32_t>(options.timeoutMs));
    // What the scanner sends that is no reply is kept, to be shown when no reply came.
    link.SetKeepDeviceOutput(true);

    CSaveCfg& engine = CSaveCfg::GetInstance();
    size_t acknowledged = 0;
    const wxString text = wxString::FromUTF8(options.text);
    const bool accepted = engine.SendCommand(text.wc_str(), L"", acknowledged) != nullptr;
    const size_t count = engine.GetItemCount();
    const wxString problem = link.GetReadProblem();
    const wxString failure = problem.empty() ? link.GetLastErrorText() : problem;
    std::string received = EscapedBytes(link.GetReceived(), link.GetReceivedLength());
    size_t receivedLength = link.GetReceivedLength();
    const std::string other = link.TakeDeviceOutput();
    if (receivedLength == 0 && !other.empty()) {
        received = EscapedBytes(reinterpret_cast<const uint8_t*>(other.data()), other.size());
        receivedLength = other.size();
    }
    link.SetKeepDeviceOutput(false);
    link.CloseDevice(0);

    if (count == 0) {
        err << "vostrel-cli: no usable reply from " << PortName(*entry);
        if (!failure.empty())
            err << ": " << Utf8(failure);
        if (!received.empty())
            err << " (received " << receivedLength << " bytes holding no reply item: " << received << ")";
        else if (options.baudRate != 0 && failure.empty())
            err << " (nothing came back; is " << options.baudRate << " the scanner's baud rate?)";
        err << "\n";
        return CLI_NO_REPLY;
    }
    const size_t asked = static_cast<size_t>(std::count(options.text.begin(), options.text.end(), ';')) + 1;
    if (asked > count && count >= kMaxShownItems)
        err << "vostrel-cli: " << asked << " requests, of which only the first " << count
            << " replies are shown; send the rest separately\n";
    const ReplyItem* items = engine.GetItems();
    EmitField("port", PortName(*entry));
    std::string refused;
    for (size_t i = 0; i < count; ++i) {
        const nlohmann::json record = {{"command", Utf8(items[i].command)},
                                       {"value", Utf8(items[i].value ? wxString(items[i].value) : wxString())},
                                       {"status", StatusName(items[i].status)}};
        EmitRecord(out, "items", record,
                   Column(Utf8(items[i].command)) + '\t' + PrintableValue(items[i].value) + '\t' + StatusName(items[i].status));
        if (items[i].status != REPLY_ACK)
            refused += (refused.empty() ? "" : ", ") + Column(Utf8(items[i].command)) + " (" + StatusName(items[i].status) + ")";
    }
    // The document's error then names what was refused.
    if (IsJsonReport() && !refused.empty())
        err << "vostrel-cli: " << PortName(*entry) << " refused " << refused << "\n";
    return accepted ? CLI_OK : CLI_REFUSED;
}

namespace {

int RunCommand(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    switch (options.command) {
    case ECliCommand::List:
        return RunList(options, out, err);
    case ECliCommand::Send:
        return RunSend(options, out, err);
    case ECliCommand::Read:
        return RunRead(options, out, err);
    case ECliCommand::Apply:
        return RunApply(options, out, err);
    case ECliCommand::Diff:
        return RunDiff(options, out, err);
    case ECliCommand::Upgrade:
        return RunUpgrade(options, out, err);
    case ECliCommand::Inventory:
        return RunInventory(options, out, err);
    case ECliCommand::DataFormat:
        return RunDataFormatCheck(options, out, err);
    case ECliCommand::Barcode:
        return RunBarcode(options.barcode, out, err);
    case ECliCommand::Help:
        out << CliUsage();
        return CLI_OK;
    case ECliCommand::None:
        break;
    }
    err << CliUsage();
    return CLI_USAGE;
}

}  // namespace

int RunCli(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.json || options.command == ECliCommand::Help)
        return RunCommand(options, out, err);
    return RunWithJsonReport(CliCommandWord(options.command), out, [&](std::ostream& text, std::ostream& problems) {
        return RunCommand(options, text, problems);
    });
}
