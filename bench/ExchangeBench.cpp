// How fast whole replies come in and are cut into items.
//
//   build/default/bin/exchange_bench
//
// ReadAllValues: "@*" of the HI880 model from the vostrel-scanner-sim program over a
// pseudo-terminal at 115200 baud. The program paces its output like a real line, so
// the floor is the wire time of the reply (10 bit times per byte) plus the 25 ms the
// engine waits before every request; `vs_floor` is the measured time over that floor.
// ParseReply: cutting a 100 kB reply text into its items.
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "SimulatorProgram.h"

namespace {

const uint32_t kBaud = 115200;
const double kRequestWaitMs = 25.0;


void ReadAllValues(benchmark::State& state)
{
    const std::string model = VOSTREL_BENCH_DATA "/Config/HI880.xml";
    if (access(model.c_str(), R_OK) != 0) {
        state.SkipWithError("no HI880.xml beside the program");
        return;
    }
    CSimulatorProgram simulator(model, kBaud);
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    DeviceEntry* entry = link.AddSerialPort(simulator.Path(), kBaud);
    if (simulator.Path().empty() || !entry || !link.OpenDevice(entry)) {
        state.SkipWithError("the simulator could not be reached");
        return;
    }
    CSaveCfg& engine = CSaveCfg::GetInstance();
    size_t items = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        size_t count = 0;
        const bool read = engine.SendCommand(L"@*", L"", count) != nullptr;
        if (!read || count == 0) {
            state.SkipWithError("the reply did not come");
            break;
        }
        items = count;
        bytes = link.GetReceivedLength();
    }
    link.CloseDevice(0);
    const double wireMs = static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud;
    state.counters["items"] = static_cast<double>(items);
    state.counters["reply_bytes"] = static_cast<double>(bytes);
    state.counters["wire_ms"] = wireMs;
    state.counters["floor_ms"] = wireMs + kRequestWaitMs;
    CSaveCfg::ResetInstance();
    CHBDataStreamMnt::ResetInstance();
}
BENCHMARK(ReadAllValues)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A reply of `size` characters with items of several groups, values holding "," and ";".
std::wstring LargeReply(size_t size)
{
    std::wstring reply = L"\x02\x01" L"0000@";
    const wchar_t* groups[] = {L"232", L"C39", L"EAN", L"PRE", L"SCN"};
    for (unsigned i = 0; reply.size() < size; ++i) {
        reply += groups[i % 5];
        reply += L"A";
        reply += static_cast<wchar_t>(L'A' + i % 26);
        reply += std::to_wstring(i % 1000);
        reply += (i % 7 == 0) ? L"a,b;c\x06;" : L"\x06;";
    }
    reply += L"\x03";
    return reply;
}

void ParseReply(benchmark::State& state)
{
    const std::wstring reply = LargeReply(100 * 1024);
    std::vector<wchar_t> text(reply.size() + 1);
    std::vector<ReplyItem> items(reply.size() / 4);
    size_t count = 0;
    for (auto _ : state) {
        std::copy(reply.begin(), reply.end(), text.begin());  // parsing cuts the text in place
        text[reply.size()] = L'\0';
        CSaveCfg::ParseReply(text.data(), reply.size(), items.data(), items.size(), count);
        benchmark::DoNotOptimize(count);
    }
    state.counters["items"] = static_cast<double>(count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(ParseReply)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
