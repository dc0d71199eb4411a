// How long the search for scanners takes with many ports against one.
//
//   build/default/bin/port_sweep_bench
//
// Eight vostrel-scanner-sim programs on pseudo-terminals at mixed baud rates; every
// port is first searched alone, then all eight together. Each port's rate must be
// found and the scanner identified, which takes most of a second and a half per port
// whatever the rate. `ratio` is the sweep of eight over the slowest single port; the
// sweep runs every port at once, so it stays near 1.
#include "HBDataStreamMnt.h"
#include "SaveCfg.h"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "SimulatorProgram.h"

namespace {


// Seconds the search takes with exactly `paths` added; -1 when it misses one.
double SearchSeconds(const std::vector<std::string>& paths)
{
    hbds_clear_serial_paths();
    for (const std::string& path : paths)
        hbds_add_serial_path(path.c_str());
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    const auto start = std::chrono::steady_clock::now();
    const int found = link.EnumDevices(CSaveCfg::AskPort);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return found == static_cast<int>(paths.size()) ? seconds : -1.0;
}

void SweepOfEightPorts(benchmark::State& state)
{
    const std::string model = VOSTREL_BENCH_DATA "/Config/HI880.xml";
    if (access(model.c_str(), R_OK) != 0) {
        state.SkipWithError("no HI880.xml beside the program");
        return;
    }
    const uint32_t rates[] = {9600, 115200, 57600, 38400, 19200, 4800, 115200, 9600};
    std::vector<std::unique_ptr<CSimulatorProgram>> simulators;
    std::vector<std::string> paths;
    for (uint32_t rate : rates) {
        simulators.push_back(std::make_unique<CSimulatorProgram>(model, rate));
        paths.push_back(simulators.back()->Path());
    }
    double slowestSingle = 0;
    for (const std::string& path : paths)
        slowestSingle = std::max(slowestSingle, SearchSeconds({path}));
    double sweep = 0;
    for (auto _ : state) {
        sweep = SearchSeconds(paths);
        if (sweep < 0 || slowestSingle <= 0) {
            state.SkipWithError("a simulated scanner was not found");
            break;
        }
        state.SetIterationTime(sweep);
    }
    state.counters["slowest_single_s"] = slowestSingle;
    state.counters["sweep_s"] = sweep;
    state.counters["ratio"] = slowestSingle > 0 ? sweep / slowestSingle : 0;
    hbds_clear_serial_paths();
    CHBDataStreamMnt::ResetInstance();
}
BENCHMARK(SweepOfEightPorts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
