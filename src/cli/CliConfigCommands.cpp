// The configuration commands of vostrel-cli: reading a scanner into a file, sending a
// file to scanners and comparing a scanner with a file.
#include "CliCommands.h"

#include "CliReport.h"
#include "CliSupport.h"
#include "app/AppContext.h"
#include "app/SafeFile.h"
#include "app/XmlFile.h"
#include "config/ConnectSequence.h"
#include "config/SaveCfg.h"
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "model/PageMntXmlInfo.h"

#include <wx/xml/xml.h>

#include <unistd.h>

#include <map>
#include <memory>
#include <vector>

namespace {

// A catalogue without any model matches no scanner (every other name gets the first
// model as an unknown device).
std::string NoModelMessage(const wxString& productName)
{
    return "the catalogue " + Utf8(CAppContext::GetInstance().GetFilePath("Config", "devicesinfo.xml")) +
           " holds no scanner model to match " + OrDash(productName) + " to";
}

// The scanner a configuration command works on, connected and read, with its model
// the engine's current one until the command ends.
class CConnectedScanner {
public:
    ~CConnectedScanner()
    {
        CSaveCfg& engine = CSaveCfg::GetInstance();
        engine.SetCurrentModel(nullptr);
        engine.SetOnline(false);
        CHBDataStreamMnt::GetInstance().CloseDevice(0);
    }

    // Reads everything the pages need from the first scanner the options find.
    bool Connect(const SCliOptions& options, std::ostream& err, int& exitCode);

    const DeviceEntry& Entry() const { return *m_entry; }
    CDeviceInfo& Model() const { return *m_model; }

private:
    DeviceEntry* m_entry = nullptr;
    std::unique_ptr<CDeviceInfo> m_model;
};

bool IsGonePort(const std::string& port)
{
    // Only a path can vanish; network ports and simulated ones are told by their status.
    return port.find('/') != std::string::npos && port.find("://") == std::string::npos &&
           access(port.c_str(), F_OK) != 0;
}

bool CConnectedScanner::Connect(const SCliOptions& options, std::ostream& err, int& exitCode)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    if (FindScanners(options) == 0) {
        err << NoScannerMessage(options);
        exitCode = CLI_NO_SCANNER;
        return false;
    }
    m_entry = link.GetDevice(0);
    // The model comes first: without one there is nothing to read the settings into.
    m_model = CDeviceMnt::GetInstance().MatchDevice(m_entry->productName);
    if (!m_model) {
        err << "vostrel-cli: " << NoModelMessage(m_entry->productName) << "\n";
        exitCode = CLI_NO_SCANNER;
        return false;
    }
    link.SetReadTimeout(static_cast<int32_t>(options.timeoutMs));
    if (!RunConnectSequence(m_entry)) {
        // The link is closed by then, so the entry's own status and the port's name
        // tell a scanner that went away from one that stayed silent.
        if (m_entry->status == HBDS_ERR_NOT_EXIST || IsGonePort(options.port)) {
            err << "vostrel-cli: " << PortName(*m_entry) << " does not exist any more: the scanner went away while"
                << " its settings were read\n";
            exitCode = CLI_NO_SCANNER;
            return false;
        }
        wxString failure = link.GetLastErrorText();
        if (failure.empty())
            failure = CHBDataStreamMnt::ErrorTextForStatus(m_entry->status);
        err << "vostrel-cli: " << PortName(*m_entry) << " did not report its settings"
            << (failure.empty() ? "" : ": ") << Utf8(failure) << "\n";
        exitCode = CLI_NO_REPLY;
        return false;
    }
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.SetCurrentModel(m_model.get());
    engine.SetOnline(true);
    CPageMntXmlInfo::GetInstance().Load();
    return true;
}

size_t CountSettings(const wxString& path)
{
    wxXmlDocument document;
    size_t count = 0;
    if (LoadXmlFile(document, path, "Vostrel", "CliConfigCommands.cpp")) {
        for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext())
            count += node->GetName() == "Command";
    }
    return count;
}

std::string JoinErrors(const std::vector<wxString>& errors)
{
    std::string joined;
    for (const wxString& name : errors)
        joined += (joined.empty() ? "" : ",") + Column(name);
    return joined;
}

// How applying a file to one scanner went: what it acknowledged, the names it
// refused and how many settings never reached it.
struct SApplyResult {
    const char* result = "failed";  // "changed", "unchanged", "skipped" or "failed"
    size_t sent = 0;
    size_t notReached = 0;
    std::vector<wxString> refused;
    std::string reason;
    bool gone = false;  // the port went away: the rest was not sent

    bool Succeeded() const { return std::string(result) == "changed" || std::string(result) == "unchanged"; }
};

void EmitApplyResult(std::ostream& out, std::ostream& err, const DeviceEntry& entry, const SApplyResult& outcome)
{
    nlohmann::json refused = nlohmann::json::array();
    for (const wxString& name : outcome.refused)
        refused.push_back(Utf8(name));
    const nlohmann::json record = {{"port", PortName(entry)},       {"product", OrNull(entry.productName)},
                                   {"result", outcome.result},      {"sent", outcome.sent},
                                   {"notReached", outcome.notReached},
                                   {"refused", refused},            {"reason", outcome.reason}};
    EmitRecord(out, "scanners", record,
               Column(PortName(entry)) + '\t' + Column(OrDash(entry.productName)) + '\t' + outcome.result + ": " +
                   Column(outcome.reason));
    // The document's error then says why in words, not only the exit status.
    if (IsJsonReport() && !outcome.Succeeded())
        err << "vostrel-cli: " << PortName(entry) << ": " << outcome.reason << "\n";
}

// The names of a comparison's differences, the first few of them.
std::string DifferingNames(const CSaveCfg::SFileComparison& comparison)
{
    const size_t kShown = 8;
    std::vector<wxString> names;
    for (const wxString& text : comparison.toSend)
        names.push_back(text.Left(6));
    for (const auto& note : comparison.refused)
        names.push_back(note.name);
    std::string text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i)
        text += (text.empty() ? "" : ",") + Column(names[i]);
    return names.size() > kShown ? text + ",..." : text;
}

std::string SettingsCount(size_t count)
{
    return std::to_string(count) + (count == 1 ? " setting" : " settings");
}

// The scanner's port vanished (unplugged, the simulator or ser2net stopped) rather
// than stayed silent.
bool IsGone(const DeviceEntry& entry)
{
    return entry.status == HBDS_ERR_NOT_EXIST || IsGonePort(PortName(entry));
}

// Executes the plan on the open scanner and tells what happened.
SApplyResult SendPlan(const DeviceEntry& entry, const CSaveCfg::SFileComparison& plan)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    SApplyResult outcome;
    const CSaveCfg::SSendOutcome sent = engine.SendPlanned(plan.toSend);
    outcome.sent = sent.acknowledged;
    outcome.notReached = sent.notReached;
    outcome.refused = sent.refused;
    const std::string leftOut = LeftOutSettingsText(plan);
    const std::string note = leftOut.empty() ? "" : "; note: " + leftOut;
    const size_t planned = plan.toSend.size();
    if (sent.lineFailed) {
        outcome.gone = IsGone(entry);
        const wxString failure = link.GetLastErrorText();
        outcome.reason = (outcome.gone ? "the scanner went away after " : "no reply after ") +
                         std::to_string(sent.acknowledged) + " of " + SettingsCount(planned) + "; the rest were not sent" +
                         (outcome.gone || failure.empty() ? "" : ": " + Utf8(failure));
        if (!outcome.refused.empty())
            outcome.reason += "; refused " + JoinErrors(outcome.refused);
        return outcome;
    }
    if (!outcome.refused.empty()) {
        outcome.reason = "refused " + JoinErrors(outcome.refused) + "; " + std::to_string(sent.acknowledged) + " of " +
                         SettingsCount(planned) + " taken";
        return outcome;
    }
    outcome.result = planned == 0 ? "unchanged" : "changed";
    outcome.reason = (planned == 0 ? "the scanner holds every setting of the file" : SettingsCount(planned) + " sent") + note;
    return outcome;
}

// Reads the open scanner's current values, plans the file against them and, when
// the plan holds nothing the scanner cannot take, executes it.
SApplyResult SendChangedSettings(DeviceEntry& entry, CDeviceInfo& model, const SCliOptions& options)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    SApplyResult outcome;
    ReadPayloadLimit();
    engine.ClearErrorList();
    std::map<wxString, wxString> current;
    if (!ReadCurrentValues(current)) {
        outcome.gone = IsGone(entry);
        const wxString failure = link.GetLastErrorText();
        outcome.reason = outcome.gone ? PortName(entry) + " does not exist any more: the scanner went away; nothing sent"
                                      : "no reply to the query of current values" + (failure.empty() ? "" : ": " + Utf8(failure));
        return outcome;
    }
    const CSaveCfg::SPlanTarget target{&model, options.force};
    const CSaveCfg::SFileComparison plan = engine.CompareFileWith(current, &target);
    if (!plan.otherModel.empty()) {
        outcome.result = "skipped";
        outcome.reason = Utf8(plan.otherModel);
        return outcome;
    }
    // The file is judged whole before anything is sent: a setting the scanner cannot
    // take fails the run here, not half-way through it.
    if (!plan.refused.empty()) {
        for (const auto& note : plan.refused)
            outcome.refused.push_back(note.name);
        outcome.reason = "the file holds settings this scanner does not take: " + RefusedSettingsText(plan.refused) +
                         "; nothing sent";
        return outcome;
    }
    return SendPlan(entry, plan);
}

SApplyResult ApplyToScanner(DeviceEntry& entry, const SCliOptions& options)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    SApplyResult outcome;
    std::unique_ptr<CDeviceInfo> model = CDeviceMnt::GetInstance().MatchDevice(entry.productName);
    if (!model) {
        outcome.result = "skipped";
        outcome.reason = NoModelMessage(entry.productName);
        return outcome;
    }
    // The model check needs no values: a scanner of another model is not opened.
    const CSaveCfg::SPlanTarget target{model.get(), options.force};
    const wxString otherModel = engine.CompareFileWith({}, &target).otherModel;
    if (!otherModel.empty()) {
        outcome.result = "skipped";
        outcome.reason = Utf8(otherModel);
        return outcome;
    }
    link.SetReadTimeout(static_cast<int32_t>(options.timeoutMs));
    if (!link.OpenDevice(&entry)) {
        outcome.gone = IsGone(entry);
        outcome.reason = outcome.gone ? PortName(entry) + " does not exist any more" : "cannot open the port";
        return outcome;
    }
    outcome = SendChangedSettings(entry, *model, options);
    link.CloseDevice(0);
    return outcome;
}

// A setting's text is its six-character name followed by the value.
const size_t kNameLength = 6;

void EmitDifference(std::ostream& out, const wxString& name, const wxString& fileValue,
                    const std::map<wxString, wxString>& current)
{
    const auto held = current.find(name);
    const bool onScanner = held != current.end();
    const nlohmann::json difference = {{"command", Utf8(name)},
                                       {"fileValue", Utf8(fileValue)},
                                       {"scannerValue", onScanner ? nlohmann::json(Utf8(held->second)) : nlohmann::json()}};
    EmitRecord(out, "differences", difference,
               Column(name) + '\t' + Column(fileValue) + '\t' +
                   (onScanner ? Column(held->second) : std::string("(not on this scanner)")));
}

}  // namespace

int RunRead(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    // Where the file would go is checked first: nobody should wait for a scanner to
    // learn that the name is a device or a read-only file.
    std::string target;
    std::string problem;
    if (!ResolveWriteTarget(options.text, target, problem)) {
        err << "vostrel-cli: " << problem << "\n";
        return CLI_BAD_FILE;
    }
    CSimulatedPort simulated;
    if (!simulated.Attach(options, err))
        return CLI_NO_SCANNER;
    CConnectedScanner scanner;
    int exitCode = CLI_OK;
    if (!scanner.Connect(simulated.Searched(options), err, exitCode))
        return exitCode;

    if (CPageMntXmlInfo::GetInstance().GetPages().empty()) {
        err << "vostrel-cli: no settings pages to read: " << Utf8(CAppContext::GetInstance().GetFilePath("Config", "pageinfo.xml"))
            << " is missing, unreadable or holds no page; " << options.text << " is left as it was\n";
        return CLI_BAD_FILE;
    }
    const wxString path = PathFromBytes(options.text);
    if (!CSaveCfg::GetInstance().SaveConfiguration(path)) {
        const wxString reason = CSaveCfg::GetInstance().GetLastFileError();
        err << "vostrel-cli: " << (reason.empty() ? "cannot write " + options.text : Utf8(reason)) << "\n";
        return CLI_BAD_FILE;
    }
    const size_t saved = CountSettings(path);
    const std::string model = Utf8(scanner.Model().m_key);
    const nlohmann::json record = {{"port", PortName(scanner.Entry())},
                                   {"product", OrNull(scanner.Entry().productName)},
                                   {"model", model},
                                   {"file", options.text},
                                   {"settings", saved}};
    EmitRecord(out, "scanners", record,
               PortName(scanner.Entry()) + '\t' + OrDash(scanner.Entry().productName) + '\t' + model + '\t' +
                   std::to_string(saved) + " settings saved to " + options.text);
    return CLI_OK;
}

int RunApply(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    if (!LoadFileToSend(options.text)) {
        err << UnreadableFileMessage(options.text);
        return CLI_BAD_FILE;
    }
    CSimulatedPort simulated;
    if (!simulated.AttachAndFindScanners(options, err))
        return CLI_NO_SCANNER;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    const size_t targets = options.allScanners ? link.GetDeviceCount() : 1;
    size_t succeeded = 0;
    bool anyGone = false;
    for (size_t i = 0; i < targets; ++i) {
        DeviceEntry& entry = *link.GetDevice(i);
        const SApplyResult outcome = ApplyToScanner(entry, options);
        EmitApplyResult(out, err, entry, outcome);
        succeeded += outcome.Succeeded();
        anyGone = anyGone || outcome.gone;
    }
    if (anyGone)
        return CLI_NO_SCANNER;
    return succeeded == targets ? CLI_OK : CLI_REFUSED;
}

int RunDiff(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    // The file first: nobody should wait for a scanner to learn that it is unreadable.
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (!LoadFileToSend(options.text)) {
        err << UnreadableFileMessage(options.text);
        return CLI_BAD_FILE;
    }
    CSimulatedPort simulated;
    if (!simulated.Attach(options, err))
        return CLI_NO_SCANNER;
    CConnectedScanner scanner;
    int exitCode = CLI_OK;
    if (!scanner.Connect(simulated.Searched(options), err, exitCode))
        return exitCode;
    std::map<wxString, wxString> current;
    if (!ReadCurrentValues(current)) {
        if (IsGone(scanner.Entry())) {
            err << "vostrel-cli: " << PortName(scanner.Entry()) << " does not exist any more: the scanner went away while"
                << " its settings were read\n";
            return CLI_NO_SCANNER;
        }
        err << "vostrel-cli: " << PortName(scanner.Entry()) << " did not report its settings\n";
        return CLI_NO_REPLY;
    }
    // The same plan as apply executes and inventory --against summarises.
    const CSaveCfg::SPlanTarget target{&scanner.Model(), options.force};
    const CSaveCfg::SFileComparison comparison = engine.CompareFileWith(current, &target);
    EmitField("port", PortName(scanner.Entry()));
    EmitField("differences", nlohmann::json::array());
    if (!comparison.otherModel.empty()) {
        err << "vostrel-cli: " << PortName(scanner.Entry()) << ": " << Utf8(comparison.otherModel) << "\n";
        return CLI_REFUSED;
    }
    for (const wxString& text : comparison.toSend)
        EmitDifference(out, text.Left(kNameLength), text.Mid(kNameLength), current);
    for (const auto& refused : comparison.refused)
        EmitDifference(out, refused.name, refused.value, current);
    if (!comparison.refused.empty())
        err << "vostrel-cli: the file holds settings this scanner does not take: " << RefusedSettingsText(comparison.refused)
            << "\n";
    NoteLeftOutSettings(comparison, err);
    if (comparison.Differs() && IsJsonReport())
        err << "vostrel-cli: " << PortName(scanner.Entry()) << " differs from " << options.text << " in "
            << SettingsCount(comparison.toSend.size() + comparison.refused.size()) << ": " << DifferingNames(comparison)
            << "\n";
    return comparison.Differs() ? CLI_DIFFERENT : CLI_OK;
}
