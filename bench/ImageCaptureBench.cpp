// How long a picture takes to come in, and whether repeated capture holds its memory.
//
//   build/default/bin/image_capture_bench
//
// RawCapture640x480: one raw 640 × 480 picture ("IMGGET0T0R0F") from the simulated
// imager in-process at 115200 baud. The scanner paces its bytes like a real line, so
// the floor is the wire time of the reply (10 bit times per byte); `vs_wire` is the
// measured time over it (aim: at most 1.1).
// AutoCaptureMemory: back-to-back captures (the auto-get loop at interval 0) on a fast
// line; `rss_growth_kB` is the resident size after the run less the size after the
// first 20 captures.
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "image/ImageCapture.h"
#include "simulator/InProcessScanner.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<CInProcessScanner> StartImager(uint32_t baud)
{
    SSimScannerProfile profile;
    profile.baudRate = baud;
    std::string error;
    auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_BENCH_DATA "/Config/HI880.xml", profile, error);
    if (!scanner)
        return nullptr;
    auto imager = std::make_unique<CInProcessScanner>(std::move(scanner));
    const uint32_t port = imager->Start();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial.port = port;
    entry->serial.baudRate = baud;
    entry->serial.dataBits = 8;
    DeviceEntry* added = link.AddDevice(std::move(entry));
    if (port == 0 || !link.OpenDevice(added))
        return nullptr;
    return imager;
}

long ResidentKilobytes()
{
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * 4;
}

void RawCapture640x480(benchmark::State& state)
{
    const uint32_t baud = 115200;
    auto imager = StartImager(baud);
    CImageCapture capture;
    if (!imager || !capture.Discover() || capture.FullWidth() != 640 || capture.FullHeight() != 480) {
        state.SkipWithError("the simulated imager could not be reached");
        return;
    }
    const size_t replyBytes = 7 + 12 + 8 + 640 * 480 + 3;
    const double wireSeconds = replyBytes * 10.0 / baud;
    double total = 0;
    for (auto _ : state) {
        SImageFile file;
        const auto start = std::chrono::steady_clock::now();
        if (!capture.Capture({IMAGE_TYPE_REALTIME, 0, IMAGE_FORMAT_RAW, 0}, file)) {
            state.SkipWithError("capture failed");
            break;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.counters["wire_s"] = wireSeconds;
    state.counters["vs_wire"] = total / static_cast<double>(state.iterations()) / wireSeconds;
    imager.reset();
    CSaveCfg::ResetInstance();
    CHBDataStreamMnt::ResetInstance();
}
BENCHMARK(RawCapture640x480)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

void AutoCaptureMemory(benchmark::State& state)
{
    const uint32_t baud = 921600;
    auto imager = StartImager(baud);
    CImageCapture capture;
    if (!imager || !capture.Discover()) {
        state.SkipWithError("the simulated imager could not be reached");
        return;
    }
    long afterWarmUp = 0;
    int64_t captured = 0;
    for (auto _ : state) {
        for (int i = 0; i < 200; ++i) {
            SImageFile file;
            captured += capture.Capture({IMAGE_TYPE_REALTIME, 2, IMAGE_FORMAT_RAW, 0}, file) ? 1 : 0;
            if (i == 19)
                afterWarmUp = ResidentKilobytes();
        }
    }
    state.counters["captured"] = static_cast<double>(captured);
    state.counters["rss_growth_kB"] = static_cast<double>(ResidentKilobytes() - afterWarmUp);
    imager.reset();
    CSaveCfg::ResetInstance();
    CHBDataStreamMnt::ResetInstance();
}
BENCHMARK(AutoCaptureMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
