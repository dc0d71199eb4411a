// vostrel-cli upgrade: downloads a firmware file into the first scanner found, or
// into every one at once with --all, printing a progress line per scanner whenever
// it moves on and a result line per scanner at the end.
#include "CliCommands.h"

#include "CliInventory.h"
#include "CliReport.h"
#include "CliSupport.h"
#include "app/SafeFile.h"
#include "device/DeviceMnt.h"
#include "device/FirmwareBatch.h"
#include "device/HBDataStreamMnt.h"

#include "hbds/hbds_firmware.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A firmware file is a few megabytes; vostrel-fwpack makes none larger than this.
const uint64_t kMaxFirmwareFileBytes = 64u << 20;
const char* const kStepNames[] = {"probing", "setting up", "sending data", "updating"};
// Progress lines come at this pace at most, so that a long download does not flood a log.
const auto kProgressPace = std::chrono::milliseconds(250);

struct SUpgradeJob {
    DeviceEntry* entry = nullptr;
    HbdsFirmwareProgress progress{};
    std::atomic<bool> ended{false};
    bool success = false;
    std::thread worker;
    std::string lastLine;
};

std::string ProgressLine(const SUpgradeJob& job)
{
    const HbdsFirmwareProgress progress = SnapshotProgress(&job.progress);
    const uint32_t step = std::min<uint32_t>(progress.step, 3);
    return PortName(*job.entry) + "\tpart " + std::to_string(progress.part + 1) + "/" +
           std::to_string(std::max<uint32_t>(progress.partCount, 1)) + "\t" + kStepNames[step] + "\t" +
           std::to_string(UpgradeBarValue(progress.stepPercent[step]) / 10) + "%";
}

// The one place that words the outcome of a scanner's upgrade.
std::string UpgradeResultText(const SUpgradeJob& job, const HbdsKernelInfo& info)
{
    if (job.success)
        return std::string("ok: ") + info.version;
    if (job.entry->status == HBDS_ERR_STOPPED)
        return "skipped: the file is for " + std::string(info.deviceName) + " (--force sends it anyway)";
    return "failed: " + Utf8(CHBDataStreamMnt::ErrorTextForStatus(job.entry->status)) + " (status " +
           std::to_string(job.entry->status) + ")";
}

// Whether blocks reached the scanner: a download that then failed has changed the
// scanner all the same (a half-flashed scanner waits in its boot mode).
bool DownloadStarted(const SUpgradeJob& job)
{
    return job.success || SnapshotProgress(&job.progress).blocksSent > 0;
}

void PrintUpgradeResult(const SUpgradeJob& job, const HbdsKernelInfo& info, std::ostream& out, std::ostream& err)
{
    const std::string result = UpgradeResultText(job, info);
    out << PortName(*job.entry) << '\t' << OrDash(job.entry->productName) << '\t' << OrDash(job.entry->serialNumber)
        << '\t' << result << '\n';
    // The document's error then carries the scanner's own reason.
    if (IsJsonReport() && !job.success)
        err << "vostrel-cli: " << PortName(*job.entry) << ": " << result << "\n";
}

void WatchJobs(std::vector<std::unique_ptr<SUpgradeJob>>& jobs, std::ostream& out)
{
    for (;;) {
        bool running = false;
        for (auto& job : jobs) {
            const std::string line = ProgressLine(*job);
            if (line != job->lastLine) {
                out << line << '\n' << std::flush;
                job->lastLine = line;
            }
            running = running || !job->ended;
        }
        if (!running)
            return;
        std::this_thread::sleep_for(kProgressPace);
    }
}

// Says for each scanner whether the file would change its firmware; downloads nothing.
int CheckUpgrade(size_t targets, const HbdsKernelInfo& info, std::ostream& out)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    bool anyDiffers = false;
    for (size_t i = 0; i < targets; ++i) {
        const DeviceEntry& entry = *link.GetDevice(i);
        const wxString running = SystemInfoValue(entry.systemInfo, "Firmware");
        const bool differs = running != wxString::FromUTF8(info.version);
        anyDiffers = anyDiffers || differs;
        nlohmann::json record = ScannerRecord(entry, ModelName(entry.productName));
        record["firmware"] = OrNull(running);
        record["fileVersion"] = std::string(info.version);
        record["differs"] = differs;
        EmitRecord(out, "scanners", record,
                   PortName(entry) + '\t' + OrDash(entry.productName) + '\t' + OrDash(running) + '\t' +
                       (differs ? "would upgrade to " + std::string(info.version) : std::string("has this version")));
    }
    return anyDiffers ? CLI_DIFFERENT : CLI_OK;
}

}  // namespace

int RunUpgrade(const SCliOptions& options, std::ostream& out, std::ostream& err)
{
    // Type and size first: the firmware reader would take in /dev/zero or a sparse
    // giant before it finds the file damaged.
    std::string problem;
    if (!CheckInputFile(options.text, kMaxFirmwareFileBytes, problem)) {
        err << "vostrel-cli: " << problem << "\n";
        return CLI_BAD_FILE;
    }
    HbdsKernelInfo info;
    uint32_t status = 0;
    if (!hbds_get_kernel_info(options.text.c_str(), &info, &status)) {
        err << "vostrel-cli: " << options.text << " is no firmware file (or it is damaged)\n";
        return CLI_BAD_FILE;
    }
    CDeviceMnt::GetInstance().EnsureLoaded();
    CSimulatedPort simulated;
    if (!simulated.AttachAndFindScanners(options, err))
        return CLI_NO_SCANNER;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    const size_t targets = options.allScanners ? link.GetDeviceCount() : 1;
    if (options.checkOnly)
        return CheckUpgrade(targets, info, out);
    const wxString file = wxString::FromUTF8(options.text);
    std::vector<std::unique_ptr<SUpgradeJob>> jobs;
    for (size_t i = 0; i < targets; ++i) {
        auto job = std::make_unique<SUpgradeJob>();
        job->entry = link.GetDevice(i);
        SUpgradeJob& started = *job;
        job->worker = std::thread([&started, file, &options] {
            started.success = CHBDataStreamMnt::UpgradeEntryFirmware(*started.entry, file, &started.progress, !options.force);
            started.ended = true;
        });
        jobs.push_back(std::move(job));
    }
    WatchJobs(jobs, out);
    size_t succeeded = 0;
    bool written = false;
    for (auto& job : jobs) {
        job->worker.join();
        PrintUpgradeResult(*job, info, out, err);
        succeeded += job->success ? 1 : 0;
        written = written || DownloadStarted(*job);
    }
    // Whether any scanner was written to, also when the download then failed.
    EmitField("written", written);
    out << "upgraded " << succeeded << " of " << jobs.size() << " scanners to " << info.version << '\n';
    return succeeded == jobs.size() ? CLI_OK : CLI_REFUSED;
}
