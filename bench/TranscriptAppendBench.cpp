// The terminal pane with a long transcript: appending 100 000 lines the way the
// worker hands them over (batches, one event each), and one more line at that size.
//
//   DISPLAY=:N build/default/bin/transcript_append_bench
//
// Needs a display (Xvfb will do): the pane is a real GTK text view.
#include "cmdcenter/gui/CommandCenterDlg.h"
#include "cmdcenter/TerminalLink.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <chrono>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const int kLines = 100000;
// About what a scanner sending continuously gets into one event at 115200 baud.
const int kLinesPerBatch = 200;
const int kSingleAppends = 50;

// Never open: the worker stays idle and the bench feeds the pane itself.
class CClosedLink : public ITerminalLink {
public:
    bool IsOpen() override { return false; }
    CLineHold TakeLine(const SLineUser& user, uint32_t waitMs) override { return m_line.TakeWithin(user, waitMs); }
    uint32_t WriteText(const wxString&) override { return 0; }
    uint32_t WriteRaw(const std::string&) override { return 0; }
    bool ReadReply(uint32_t, std::string&, wxString&) override { return false; }
    bool ReadDeviceOutput(uint32_t, std::string&) override { return false; }
    void DropInput() override {}

private:
    CLineOwner m_line;
};

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

STerminalOutput Line(int index)
{
    return STerminalOutput{STerminalOutput::LINE,
                           wxString::Format("Device: Code ID packet\r\n%012d-VOSTREL-READ\r\n", index)};
}

}  // namespace

int main(int argc, char** argv)
{
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "transcript_append_bench: no display\n");
        return 1;
    }
    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(1000, 700));
    auto* terminal = new CCommandCenterDlg(frame, std::make_unique<CClosedLink>());
    frame->Show();
    wxTheApp->Yield();

    const Clock::time_point start = Clock::now();
    Clock::time_point batchStart = start;
    double worstBatch = 0;
    for (int i = 0; i < kLines; ++i) {
        terminal->AcceptOutput(Line(i));
        if ((i + 1) % kLinesPerBatch == 0) {
            terminal->ShowPendingOutput();
            wxTheApp->Yield();  // the window gets to draw between batches, as it would
            worstBatch = std::max(worstBatch, MillisecondsSince(batchStart));
            batchStart = Clock::now();
        }
    }
    terminal->ShowPendingOutput();
    wxTheApp->Yield();
    const double total = MillisecondsSince(start);

    double worst = 0;
    double sum = 0;
    for (int i = 0; i < kSingleAppends; ++i) {
        const Clock::time_point one = Clock::now();
        terminal->AcceptOutput(Line(kLines + i));
        terminal->ShowPendingOutput();
        wxTheApp->Yield();
        const double took = MillisecondsSince(one);
        sum += took;
        worst = std::max(worst, took);
    }
    std::printf("append %d lines (%d lines per event): %.0f ms, %.1f us per line\n", kLines, kLinesPerBatch, total,
                total * 1000.0 / kLines);
    std::printf("slowest event of %d lines: %.1f ms\n", kLinesPerBatch, worstBatch);
    std::printf("one more line at %zu lines: mean %.2f ms, worst %.2f ms (%d samples)\n",
                terminal->GetTranscript().Count() - kSingleAppends, sum / kSingleAppends, worst, kSingleAppends);
    frame->Destroy();
    wxTheApp->Yield();
    wxEntryCleanup();
    return 0;
}
