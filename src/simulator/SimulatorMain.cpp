// vostrel-scanner-sim: a simulated scanner on a pseudo-terminal. Prints the path of
// the terminal the tool should open, then answers requests until it is stopped.
#include "PtyScanner.h"
#include "SimNumber.h"
#include "SimScanSetup.h"
#include "SimTiming.h"
#include "SimulatedScanner.h"

#include <wx/init.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void RequestStop(int)
{
    g_stopRequested = 1;
}

struct SOptions {
    std::string modelPath;
    SSimScannerProfile profile;
    SSimFaultPlan faults;
    SSimFirmwareFaults firmwareFaults;
    SSimScanSetup scans;
    SSimTiming timing;
    bool restartGiven = false;  // a --fw-fault restart:MS, which the timing profile leaves alone
    long batchStartMs = -1;     // a fixed start of the stored-data upload (-1: the profile's)
};

const char kUsage[] =
    "usage: vostrel-scanner-sim --model PATH.xml [--product NAME] [--serial SN] [--baud RATE]\n"
    "       [--fault silence|garbage|garbage:instead|cut:N|disconnect:N[:K]|slow:MS[:GAP]|nak:CMD|enq:CMD ...]\n"
    "       [--fw-fault fail:P|fail:S|fail:D:N|fail:V|fail:E|lose:N|power:N|restart:MS ...]\n"
    "       [--reads FILE] [--scan-every MS] [--packed codeid|aim] [--batch FILE]\n"
    "       [--timing none|real] [--new-path-on-restart yes|no] [--batch-start MS]\n"
    "\n"
    "Serves a scanner of the model in PATH.xml on a new pseudo-terminal and prints its path.\n"
    "Faults (--fault may be given several times):\n"
    "  silence          answer nothing\n"
    "  garbage          send noise bytes before each reply; garbage:instead sends only noise\n"
    "  cut:N            send only the first N bytes of each reply\n"
    "  disconnect:N[:K] hang up after N bytes of a reply (after K replies that go out whole)\n"
    "  slow:MS[:GAP]    wait MS ms before replying (and GAP ms between bytes)\n"
    "  nak:CMD, enq:CMD answer NAK or ENQ to the command CMD\n"
    "Firmware download faults (--fw-fault, several times):\n"
    "  fail:P|S|V|E     answer the probe, set-up, part check or end packet \"failed\"\n"
    "  fail:D:N         answer data block N \"failed\"\n"
    "  lose:N           leave data block N unanswered once (the tool sends it again)\n"
    "  lose:E           lose the end packet's answer once (the download itself succeeds)\n"
    "  power:N          lose power at data block N: boot mode, only a download is taken\n"
    "  restart:MS       silence while restarting after a download (default 1500)\n"
    "  drop             hang up as the scanner restarts after a download\n";

bool ReadBaud(const std::string& text, uint32_t& rate)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value == 0 || value > 4000000)
        return false;
    rate = static_cast<uint32_t>(value);
    return true;
}

// Reads one option and its value; false with a message on a bad one.
bool ReadOption(const std::string& option, const std::string& value, SOptions& options)
{
    if (option == "--model")
        options.modelPath = value;
    else if (option == "--product")
        options.profile.productName = value;
    else if (option == "--serial")
        options.profile.serialNumber = value;
    else if (option == "--baud" && ReadBaud(value, options.profile.baudRate))
        return true;
    else if (option == "--fault" && options.faults.Add(value))
        return true;
    else if (option == "--fw-fault" && options.firmwareFaults.Add(value))
        options.restartGiven = options.restartGiven || value.rfind("restart:", 0) == 0;
    else if (option == "--timing" && options.timing.SetProfile(value))
        return true;
    else if (option == "--batch-start" && ParseDecimal(value, options.batchStartMs) && options.batchStartMs >= 0 &&
             options.batchStartMs <= 600000)
        return true;
    else if (option == "--new-path-on-restart" && (value == "yes" || value == "no"))
        options.timing.newPathOnRestart = value == "yes";
    else if (options.scans.Add(option, value))
        return true;
    else {
        std::fprintf(stderr, "vostrel-scanner-sim: bad option %s %s\n%s", option.c_str(), value.c_str(), kUsage);
        return false;
    }
    return true;
}

bool ReadOptions(int argc, char** argv, SOptions& options)
{
    for (int i = 1; i < argc; i += 2) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kSimScanUsage, stdout);
            std::fputs(kSimTimingUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "vostrel-scanner-sim: %s needs a value\n%s", argv[i], kUsage);
            return false;
        }
        if (!ReadOption(argv[i], argv[i + 1], options))
            return false;
    }
    if (options.modelPath.empty()) {
        std::fprintf(stderr, "vostrel-scanner-sim: --model is required\n%s", kUsage);
        return false;
    }
    return true;
}

void InstallStopHandlers()
{
    struct sigaction action{};
    action.sa_handler = RequestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::unique_ptr<CPtyLink> OpenLink()
{
    auto link = std::make_unique<CPtyLink>();
    std::string error;
    if (!link->Open(error)) {
        std::fprintf(stderr, "vostrel-scanner-sim: %s\n", error.c_str());
        return nullptr;
    }
    return link;
}

// The pseudo-terminal a scanner comes back on after its next restart is opened in
// advance, while the current one is still open, so that the system cannot hand out
// the number that is about to go away.
void AnnounceRestartPath(const CPtyLink& spare)
{
    std::printf("restart path %s\n", spare.SlavePath().c_str());
    std::fflush(stdout);
}

// Answers requests until a stop signal comes or the link drops (a disconnect fault).
// With `spare`, every completed download moves the scanner to it, as a USB scanner
// re-enumerates under another device path after its firmware restart: the old path
// goes away and the next spare is opened. The 200 ms waits let a stop signal be noticed.
void Serve(CSimulatedScanner& scanner, std::unique_ptr<CPtyLink> link, std::unique_ptr<CPtyLink> spare)
{
    int downloads = scanner.Firmware().CompletedDownloads();
    while (!g_stopRequested) {
        const bool open = AnswerPendingRequests(scanner, *link, 200);
        if (spare && scanner.Firmware().CompletedDownloads() != downloads) {
            downloads = scanner.Firmware().CompletedDownloads();
            std::unique_ptr<CPtyLink> next = OpenLink();
            link->CloseWhenTaken(1000);
            link = std::move(spare);
            spare = std::move(next);
            if (spare)
                AnnounceRestartPath(*spare);
            continue;
        }
        if (!open)
            break;
    }
    if (!link->IsOpen())
        std::fprintf(stderr, "vostrel-scanner-sim: link dropped by the disconnect fault\n");
}

}  // namespace

int main(int argc, char** argv)
{
    SOptions options;
    if (!ReadOptions(argc, argv, options))
        return 2;
    wxInitializer wx;  // the model file is read with wxWidgets' XML classes
    std::string error;
    std::unique_ptr<CSimulatedScanner> scanner = CSimulatedScanner::FromModelFile(options.modelPath, options.profile, error);
    if (!scanner) {
        std::fprintf(stderr, "vostrel-scanner-sim: %s\n", error.c_str());
        return 1;
    }
    scanner->Faults().Set(options.faults);
    if (options.restartGiven)
        options.timing.restartMs = -1;  // the fault's restart time is the one asked for
    scanner->Firmware().SetFaults(options.firmwareFaults);
    if (options.batchStartMs >= 0)
        options.timing.batchStart = {static_cast<int>(options.batchStartMs), static_cast<int>(options.batchStartMs)};
    scanner->SetTiming(options.timing);
    if (!options.scans.ApplyTo(*scanner, error)) {
        std::fprintf(stderr, "vostrel-scanner-sim: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<CPtyLink> link = OpenLink();
    std::unique_ptr<CPtyLink> spare = link && options.timing.newPathOnRestart ? OpenLink() : nullptr;
    if (!link || (options.timing.newPathOnRestart && !spare))
        return 1;
    InstallStopHandlers();
    std::printf("%s\n", link->SlavePath().c_str());
    if (spare)
        AnnounceRestartPath(*spare);
    std::fflush(stdout);
    Serve(*scanner, std::move(link), std::move(spare));
    return 0;
}
