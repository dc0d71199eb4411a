// Settings barcodes to PDF: 300 settings as a sheet of linear barcodes framed by the
// setup codes, and settings as one all-in-one Data Matrix. The 300 settings (2400
// characters) do not fit one square Data Matrix (at most 144 x 144 modules, about
// 1550 characters of this kind): that case measures how fast the refusal comes;
// the largest whole share that fits, 150 settings, measures the symbol to PDF.
//
//   build/default/bin/barcode_sheet_bench
//
// Each run renders every barcode and writes the PDF file, its barcodes as shapes and
// its text set with Pango; the aim for the linear sheet is under 0.5 s. The counter
// "pdf_bytes" is the size of the file written.
#include "barcode/BarcodeSheetBuilder.h"
#include "barcode/HBSCodeMid.h"
#include "barcode/SheetOutput.h"

#include <benchmark/benchmark.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>

namespace {

const int kSettings = 300;

// Settings as a configuration holds them: a group, an item and a small value.
wxString SettingsText(int count)
{
    static const char* const kGroups[] = {"232", "KBW", "BEP", "LED", "SCN", "128", "EAN", "QRC", "PDF", "DMC"};
    wxString text;
    for (int i = 0; i < count; ++i)
        text += wxString::Format("%s%c%02d%d;", kGroups[i % 10], 'A' + (i / 10) % 26, i % 100, i % 4);
    return text;
}

void RunToPdf(benchmark::State& state, bool allInOne, int count, bool expectBuilt = true)
{
    const wxString text = SettingsText(count);
    const wxString folder = wxFileName::CreateTempFileName("vostrel-bench");
    wxRemoveFile(folder);
    wxMkdir(folder);
    const wxString pdf = folder + "/sheet.pdf";
    const wxString symbol = folder + "/output.bmp";
    InitBCDll();
    size_t images = 0;
    wxULongLong pdfBytes = 0;
    for (auto _ : state) {
        CBarcodeSheet sheet;
        CBarcodeSheetBuilder builder(sheet, "SETUPE", [](const wxString&, const wxString&) { return wxString(); });
        const EBuildResult result = allInOne ? builder.BuildAllInOneFromText(text, symbol)
                                             : builder.BuildLinearFromText(text, SLinearOptions());
        wxString error;
        if (!expectBuilt && result == EBuildResult::Failed)
            continue;
        if (result != EBuildResult::Built || !SaveSheetAsPdf(sheet, HeaderLines({}, wxDateTime::Now()), pdf, error)) {
            state.SkipWithError(("not built: " + builder.GetLastError() + " " + error).utf8_str());
            break;
        }
        images = sheet.GetImages().size();
        pdfBytes = wxFileName::GetSize(pdf);
    }
    state.counters["barcodes"] = static_cast<double>(images);
    state.counters["pdf_bytes"] = pdfBytes.ToDouble();
    FreeMemory();
    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
}

void LinearSheetOf300SettingsToPdf(benchmark::State& state)
{
    RunToPdf(state, false, kSettings);
}

void AllInOneDataMatrixOf300SettingsIsRefused(benchmark::State& state)
{
    RunToPdf(state, true, kSettings, false);
}

void AllInOneDataMatrixOf150SettingsToPdf(benchmark::State& state)
{
    RunToPdf(state, true, kSettings / 2);
}

}  // namespace

BENCHMARK(LinearSheetOf300SettingsToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(AllInOneDataMatrixOf300SettingsIsRefused)->Unit(benchmark::kMillisecond);
BENCHMARK(AllInOneDataMatrixOf150SettingsToPdf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    wxInitializer initializer;  // the strings and file names need wxWidgets' base library
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
