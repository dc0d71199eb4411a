// Taking a scanner's "@^" reply of ranges into the command map: parsing the reply
// and setting each command's range, as the connect sequence does.
//
//   build/default/bin/range_reply_bench
//
// The replies are what a broken or hostile scanner might send: every item the range
// "0-99999999|1". The 32-item reply is 648 bytes; the 1024-item one is the most a
// single reply can carry into the map.
#include "config/SaveCfg.h"
#include "model/DeviceCmdNameMntXmlInfo.h"

#include <benchmark/benchmark.h>
#include <wx/init.h>

#include <string>
#include <vector>

namespace {

std::wstring HugeRangeReply(int items)
{
    std::wstring reply = L"\x02\x01" L"0000@";
    for (int i = 0; i < items; ++i)
        reply += wxString::Format("R%05d0-99999999|1\x06;", i).ToStdWstring();
    return reply + L'\x03';
}

void TakeRangeReply(benchmark::State& state)
{
    const std::wstring reply = HugeRangeReply(static_cast<int>(state.range(0)));
    std::vector<ReplyItem> items(1024);
    for (auto _ : state) {
        std::wstring text = reply;  // parsing cuts the text in place
        size_t count = 0;
        CSaveCfg::ParseReply(text.data(), text.size(), items.data(), items.size(), count);
        CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
        for (size_t i = 0; i < count; ++i)
            map.SetRange(items[i].command, items[i].value);
        benchmark::DoNotOptimize(map.GetCount());
        map.Clear();
    }
    state.counters["bytes"] = static_cast<double>(reply.size());
    CDeviceCmdNameMntXmlInfo::ResetInstance();
}
BENCHMARK(TakeRangeReply)->Arg(32)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    wxInitializer initializer;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
