// A port that starts a reply and never ends it, flooding or trickling: how long an
// exchange takes to give up, and how much memory the process has needed by then.
//
//   build/default/bin/endless_reply_bench
//
// `peak_rss_mb` is the process's high-water mark after all runs so far; the time is
// the exchange from the request to its failure, the line's clearing included.
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "support/EndlessReplyServer.h"
#include "support/LinkFixture.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double PeakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ReplyThatNeverEnds(benchmark::State& state)
{
    const auto pace = state.range(0) == 0 ? CEndlessReplyServer::EPace::FLOOD : CEndlessReplyServer::EPace::TRICKLE;
    CEndlessReplyServer endless(pace, 100);
    for (auto _ : state) {
        if (!OpenTestDevice(endless.Address(), 115200, 2000)) {
            state.SkipWithError("the endless port could not be opened");
            break;
        }
        size_t count = 0;
        benchmark::DoNotOptimize(CSaveCfg::GetInstance().SendCommand(L"@QRYSYS", L"", count));
        CHBDataStreamMnt::ResetInstance();
        CSaveCfg::ResetInstance();
    }
    state.counters["peak_rss_mb"] = PeakRssMegabytes();
    state.counters["bytes_sent_mb"] = static_cast<double>(endless.BytesSent()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ReplyThatNeverEnds)->Arg(0)->Arg(1)->ArgNames({"trickle"})->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
