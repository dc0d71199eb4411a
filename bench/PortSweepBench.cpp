// How long finding scanners takes: the rate detection of one port at each rate, the
// failure at a wrong rate, and the search of many ports against the slowest alone.
//
//   build/default/bin/port_sweep_bench
//
// Every simulated scanner is a vostrel-scanner-sim program on a pseudo-terminal under
// the real-world timing profile (replies 20-60 ms late), so that detection meets the
// delays a real scanner has.
//
// DetectionPerRate: `rate_N_s` is how long detection takes to find a scanner at N
// baud; `wrong_rate_s` how long a port searched at a rate nobody answers at takes to
// fail. Each should stay well under 3 s.
//
// SweepOfFourPorts: three scanners at 115200 and one at 9600, searched one by one and
// all together. Cold is each scanner's first search after its start, warm a search of
// scanners searched before (the state a user's second "list" meets). `ratio_cold` and
// `ratio_warm` are the search of all four over the slowest alone; the search runs every
// port at once, so both should stay under 1.3.
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "SimulatorProgram.h"

namespace {

const char kModel[] = VOSTREL_BENCH_DATA "/Config/HI880.xml";

double SecondsSince(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds the search takes with exactly `paths` added; -1 when it misses one.
double SearchSeconds(const std::vector<std::string>& paths)
{
    hbds_clear_serial_paths();
    for (const std::string& path : paths)
        hbds_add_serial_path(path.c_str());
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    const auto start = std::chrono::steady_clock::now();
    const int found = link.EnumDevices(CSaveCfg::AskPort);
    const double seconds = SecondsSince(start);
    return found == static_cast<int>(paths.size()) ? seconds : -1.0;
}

// The slowest of the ports searched one by one; -1 when one is missed.
double SlowestSingle(const std::vector<std::string>& paths)
{
    double slowest = 0;
    for (const std::string& path : paths) {
        const double seconds = SearchSeconds({path});
        if (seconds < 0)
            return -1.0;
        slowest = std::max(slowest, seconds);
    }
    return slowest;
}

std::vector<std::unique_ptr<CSimulatorProgram>> StartSimulators(const std::vector<uint32_t>& rates,
                                                                std::vector<std::string>& paths)
{
    std::vector<std::unique_ptr<CSimulatorProgram>> simulators;
    paths.clear();
    for (uint32_t rate : rates) {
        simulators.push_back(std::make_unique<CSimulatorProgram>(kModel, rate, "real"));
        paths.push_back(simulators.back()->Path());
    }
    return simulators;
}

void DetectionPerRate(benchmark::State& state)
{
    const uint32_t rates[] = {9600, 115200, 57600, 38400, 19200, 4800, 2400, 1200};
    for (auto _ : state) {
        for (uint32_t rate : rates) {
            CSimulatorProgram simulator(kModel, rate, "real");
            SerialSettings port{};
            port.port = hbds_add_serial_path(simulator.Path().c_str());
            const auto start = std::chrono::steady_clock::now();
            hbds_detect_serial_settings(&port, 1, 100);
            const double seconds = SecondsSince(start);
            if (port.baudRate != rate) {
                state.SkipWithError("a scanner was detected at the wrong rate");
                return;
            }
            state.counters["rate_" + std::to_string(rate) + "_s"] = seconds;
            if (rate == 9600) {
                const auto wrongStart = std::chrono::steady_clock::now();
                const int found = CHBDataStreamMnt::GetInstance().EnumSerialPort(simulator.Path(), 115200,
                                                                                 CSaveCfg::AskPort);
                state.counters["wrong_rate_s"] = SecondsSince(wrongStart);
                if (found != 0) {
                    state.SkipWithError("a scanner at 9600 baud answered at 115200");
                    return;
                }
            }
        }
    }
    hbds_clear_serial_paths();
    CHBDataStreamMnt::ResetInstance();
}
BENCHMARK(DetectionPerRate)->Unit(benchmark::kMillisecond)->Iterations(1);

void SweepOfFourPorts(benchmark::State& state)
{
    const std::vector<uint32_t> rates = {115200, 115200, 115200, 9600};
    for (auto _ : state) {
        std::vector<std::string> paths;
        // Cold: fresh scanners for the single searches, and fresh ones for the sweep.
        double singleCold = 0;
        {
            auto simulators = StartSimulators(rates, paths);
            singleCold = SlowestSingle(paths);
        }
        auto simulators = StartSimulators(rates, paths);
        const double sweepCold = SearchSeconds(paths);
        // Warm: the same scanners, searched again.
        const double singleWarm = SlowestSingle(paths);
        double sweepWarm = 0;
        for (int run = 0; run < 3; ++run) {
            const double seconds = SearchSeconds(paths);
            if (seconds < 0) {
                sweepWarm = -1;
                break;
            }
            sweepWarm = std::max(sweepWarm, seconds);
        }
        if (singleCold <= 0 || sweepCold < 0 || singleWarm <= 0 || sweepWarm <= 0) {
            state.SkipWithError("a simulated scanner was not found");
            break;
        }
        state.SetIterationTime(sweepWarm);
        state.counters["single_cold_s"] = singleCold;
        state.counters["sweep_cold_s"] = sweepCold;
        state.counters["ratio_cold"] = sweepCold / singleCold;
        state.counters["single_warm_s"] = singleWarm;
        state.counters["sweep_warm_s"] = sweepWarm;
        state.counters["ratio_warm"] = sweepWarm / singleWarm;
    }
    hbds_clear_serial_paths();
    CHBDataStreamMnt::ResetInstance();
}
BENCHMARK(SweepOfFourPorts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
