// Writing 500 changed settings to a simulated scanner over a pseudo-terminal at
// 115200 baud, with the read-back that follows.
//
//   build/default/bin/apply_bench
//
// Counters: `frames` request frames that carried settings, `fewest_frames` the least
// any packing could use when a frame holds at most the payload limit less 50
// characters of command text, `wire_ms` the time all request and reply bytes need on
// the line (10 bit times per byte). The simulator paces its replies like the line;
// the tool's writes to a pseudo-terminal are not slowed, so the measured time can
// come in under `wire_ms` only by the request share.
#include "app/AppContext.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "device/DeviceEntry.h"
#include "device/HBDataStreamMnt.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "simulator/PtyScanner.h"

#include <benchmark/benchmark.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kSettings = 500;
const uint32_t kBaud = 115200;
const size_t kPayloadLimit = 300;

// Five settings per three-letter group, like the families of a real model.
std::string SettingName(int index)
{
    const int group = index / 5;
    std::string name = {char('A' + group / 676 % 26), char('A' + group / 26 % 26), char('A' + group % 26)};
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", index % 5);
    return name + digits;
}

void WriteText(const wxString& path, const std::string& text)
{
    wxFFile file(path, "w");
    file.Write(wxString::FromUTF8(text), wxConvUTF8);
}

void WriteModel(const wxString& configFolder)
{
    std::string model = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceConfiguration>\n";
    std::string pages = "<Pages>\n";
    for (int i = 0; i < kSettings; ++i) {
        const std::string name = SettingName(i);
        model += " <Command><CommandName>" + name +
                 "</CommandName><Default>100</Default><Minimum>0</Minimum><Maximum>999</Maximum></Command>\n";
        if (i % 50 == 0)
            pages += (i ? "</GroupName></Page>\n" : "") + std::string("<Page><Value>P") + std::to_string(i / 50) +
                     "</Value><GroupName><Value>G</Value>";
        pages += "<Command><CommandName>" + name + "</CommandName><ControlType>RANGEEDIT</ControlType></Command>";
    }
    WriteText(configFolder + "Bench.xml", model + "</DeviceConfiguration>\n");
    WriteText(configFolder + "pageinfo.xml", pages + "</GroupName></Page>\n</Pages>\n");
}

size_t FewestFrames(size_t textLength, size_t texts)
{
    const size_t room = kPayloadLimit - 50;
    const size_t perFrame = room / textLength;
    return (texts + perFrame - 1) / perFrame;
}

void BM_ApplyChanges(benchmark::State& state)
{
    wxInitializer wx;
    const wxString folder = wxFileName::CreateTempFileName("vostrel-apply-bench");
    wxRemoveFile(folder);
    wxFileName::Mkdir(folder + "/Config", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    CAppContext::GetInstance().SetProgramDirectory(folder + "/");
    WriteModel(folder + "/Config/");
    if (!CDeviceCmdNameMntXmlInfo::GetInstance().Load("Bench.xml") || !CPageMntXmlInfo::GetInstance().Load()) {
        state.SkipWithError("model files could not be loaded");
        return;
    }

    SSimScannerProfile profile;
    profile.baudRate = kBaud;
    std::string error;
    auto engine = CSimulatedScanner::FromModelFile(std::string((folder + "/Config/Bench.xml").utf8_str()), profile, error);
    CPtyScanner scanner(std::move(engine));
    if (!scanner.Start(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial.port = hbds_add_serial_path(scanner.Path().c_str());
    entry->serial.baudRate = kBaud;
    entry->serial.dataBits = 8;
    DeviceEntry* device = link.AddDevice(std::move(entry));
    if (!link.OpenDevice(device)) {
        state.SkipWithError("simulated scanner could not be opened");
        return;
    }
    CSaveCfg::GetInstance().SetMaxPayload(kPayloadLimit);

    size_t frames = 0;
    size_t requestBytes = 0;
    size_t repliedBefore = 0;
    size_t repliedBytes = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const wxString value = round++ % 2 ? "111" : "222";
        CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) { definition.SetValue(value); });
        scanner.Scanner().TakeHeardFrames();
        repliedBefore = scanner.RepliedBytes();
        state.ResumeTiming();

        if (!CSaveCfg::GetInstance().ApplyChanges()) {
            state.SkipWithError("apply failed");
            break;
        }

        state.PauseTiming();
        frames = 0;
        requestBytes = 0;
        for (const std::string& frame : scanner.Scanner().TakeHeardFrames()) {
            requestBytes += frame.size();
            if (frame.find('*') == std::string::npos)
                ++frames;
        }
        repliedBytes = scanner.RepliedBytes() - repliedBefore;
        CPendingChangeList::GetInstance().ClearChanges();
        state.ResumeTiming();
    }
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["fewest_frames"] = static_cast<double>(FewestFrames(SettingName(0).size() + 3, kSettings));
    state.counters["wire_ms"] = static_cast<double>(requestBytes + repliedBytes) * 10.0 * 1000.0 / kBaud;

    link.CloseDevice(0);
    CHBDataStreamMnt::ResetInstance();
    CPageMntXmlInfo::ResetInstance();
    CPendingChangeList::ResetInstance();
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    CSaveCfg::ResetInstance();
    CAppContext::ResetInstance();
    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
}
BENCHMARK(BM_ApplyChanges)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
