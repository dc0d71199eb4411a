// Firmware downloads into simulated scanners on pseudo-terminals at 115200 baud: one
// 1 MB download against the time its bytes need on the wire, and eight scanners at
// once against one. The simulator takes a packet only as fast as the line would bring
// it, so the wire time is a real floor. The scanners restart at once here, so that
// the numbers are the download's alone, except in the restart waits, which measure
// what waiting for a restarting scanner costs: a silent scanner is asked once a poll
// interval (CPU time far below the wait), and a line that died with the restart ends
// the wait at once instead of being written to until the wait runs out.
#include "fwpack/FirmwarePack.h"
#include "simulator/PtyScanner.h"

#include "hbds/hbds.h"
#include "hbds/hbds_firmware.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const uint32_t kRate = 115200;

std::string MakeFile(size_t bytes)
{
    SFirmwareContents contents;
    contents.deviceName = "HBS-HI880";
    contents.version = "V9.0";
    contents.parts = {{HBDS_FW_PART_APPLICATION, SampleFirmwareBytes(bytes, 5)}};
    std::string error;
    const std::string path = "/tmp/vostrel_fw_bench_" + std::to_string(::getpid()) + "_" + std::to_string(bytes) + ".bin";
    if (!WriteFirmwareFile(path, BuildFirmwareImage(contents, error), error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return path;
}

std::unique_ptr<CPtyScanner> StartScanner(const SSimFirmwareFaults& faults = SSimFirmwareFaults())
{
    SSimScannerProfile profile;
    profile.baudRate = kRate;
    auto scanner = std::make_unique<CSimulatedScanner>(CSimSettingsDatabase(), profile);
    scanner->Firmware().SetFaults(faults);
    auto served = std::make_unique<CPtyScanner>(std::move(scanner));
    std::string error;
    if (!served->Start(error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return served;
}

SSimFirmwareFaults QuickRestart()
{
    SSimFirmwareFaults faults;
    faults.restartMs = 0;
    return faults;
}

bool Download(const std::string& port, const std::string& file, uint32_t* result = nullptr)
{
    SerialSettings line{};
    line.port = hbds_add_serial_path(port.c_str());
    line.baudRate = kRate;
    line.dataBits = 8;
    const HBDS_HANDLE handle = hbds_create();
    uint32_t status = 0;
    HbdsFirmwareProgress progress{};
    const bool done = hbds_open_com(handle, &line, &status) &&
                      hbds_update_firmware_file_1(handle, file.c_str(), 1, 30, &progress, 0, &status);
    hbds_destory(handle);
    if (result)
        *result = status;
    return done;
}

// Seconds the file's bytes need on the wire: ten bits a byte.
double WireSeconds(size_t bytes)
{
    return static_cast<double>(bytes) * 10.0 / kRate;
}

void DownloadAtOnce(benchmark::State& state, size_t bytes, int scanners)
{
    const std::string file = MakeFile(bytes);
    std::vector<std::unique_ptr<CPtyScanner>> served;
    for (int i = 0; i < scanners; ++i)
        served.push_back(StartScanner(QuickRestart()));
    std::atomic<int> failed{0};
    for (auto _ : state) {
        std::vector<std::thread> downloads;
        for (const auto& scanner : served)
            downloads.emplace_back([&failed, &scanner, &file] {
                if (!Download(scanner->Path(), file))
                    ++failed;
            });
        for (std::thread& download : downloads)
            download.join();
    }
    state.counters["wire_s"] = WireSeconds(bytes);
    state.counters["failed"] = failed.load();
    std::remove(file.c_str());
}

void BM_OneMegabyteAgainstWireTime(benchmark::State& state)
{
    DownloadAtOnce(state, 1u << 20, 1);
}

void BM_OneScanner(benchmark::State& state)
{
    DownloadAtOnce(state, 128u << 10, 1);
}

void BM_EightScannersAtOnce(benchmark::State& state)
{
    DownloadAtOnce(state, 128u << 10, 8);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A small download, then the wait for the restart the fault shapes.
void RestartWait(benchmark::State& state, const SSimFirmwareFaults& faults)
{
    const std::string file = MakeFile(4096);
    uint32_t status = 0;
    double cpu = 0;
    for (auto _ : state) {
        const std::unique_ptr<CPtyScanner> scanner = StartScanner(faults);
        const double before = CpuSeconds();
        Download(scanner->Path(), file, &status);
        cpu += CpuSeconds() - before;
    }
    state.counters["cpu_s"] = cpu;
    state.counters["status"] = status;
    std::remove(file.c_str());
}

void BM_SilentRestartOfThreeSeconds(benchmark::State& state)
{
    SSimFirmwareFaults faults;
    faults.restartMs = 3000;
    RestartWait(state, faults);
}

void BM_LineDeadAtRestart(benchmark::State& state)
{
    SSimFirmwareFaults faults;
    faults.restartMs = 3000;
    faults.dropAtRestart = true;
    RestartWait(state, faults);
}

}  // namespace

BENCHMARK(BM_SilentRestartOfThreeSeconds)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_LineDeadAtRestart)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_OneMegabyteAgainstWireTime)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_OneScanner)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_EightScannersAtOnce)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
