#include "TaskProgress.h"

#include "UiText.h"

#include <algorithm>

namespace {

thread_local CTaskProgress* t_watched = nullptr;

// Less than this gives a wild estimate that jumps about.
const uint64_t kMinimumElapsedForEstimateMs = 500;

}  // namespace

void CTaskProgress::Start(uint64_t total)
{
    m_done.store(0, std::memory_order_relaxed);
    m_total.store(total, std::memory_order_relaxed);
}

void CTaskProgress::Advance(uint64_t units)
{
    m_done.fetch_add(units, std::memory_order_relaxed);
}

void WatchThisThreadsTask(CTaskProgress* progress)
{
    t_watched = progress;
}

void StartTaskProgress(uint64_t total)
{
    if (t_watched)
        t_watched->Start(total);
}

void AdvanceTaskProgress(uint64_t units)
{
    if (t_watched)
        t_watched->Advance(units);
}

void SetTaskProgressDone(uint64_t done)
{
    if (t_watched)
        t_watched->SetDone(done);
}

SShownProgress ShownProgress(uint64_t done, uint64_t total, uint64_t elapsedMs)
{
    SShownProgress shown;
    if (total == 0)
        return shown;
    done = std::min(done, total);
    shown.permille = static_cast<int>(done * 1000 / total);
    if (done > 0 && elapsedMs >= kMinimumElapsedForEstimateMs) {
        const double msLeft = static_cast<double>(elapsedMs) * static_cast<double>(total - done) / static_cast<double>(done);
        shown.secondsLeft = static_cast<int>(msLeft / 1000.0 + 0.5);
    }
    return shown;
}

wxString ProgressText(uint64_t done, uint64_t total, const SShownProgress& shown)
{
    if (total == 0)
        return wxString();
    wxString text = wxString::Format("%llu / %llu", static_cast<unsigned long long>(std::min(done, total)),
                                     static_cast<unsigned long long>(total));
    if (shown.secondsLeft >= 0) {
        // Replaced rather than formatted: a language file's text must not be able to
        // ask for arguments that are not there.
        wxString left = GetUiText("ID_WAIT_TIME_LEFT", "剩余约 %d 秒");
        left.Replace("%d", wxString::Format("%d", shown.secondsLeft));
        text << "  " << left;
    }
    return text;
}

SProgressDisplay DisplayOf(const CTaskProgress& progress, std::chrono::steady_clock::time_point since)
{
    SProgressDisplay display;
    const uint64_t total = progress.Total();
    if (total == 0)
        return display;
    const uint64_t done = progress.Done();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since);
    const SShownProgress shown = ShownProgress(done, total, static_cast<uint64_t>(std::max<int64_t>(0, elapsed.count())));
    display.known = true;
    display.permille = shown.permille;
    display.text = ProgressText(done, total, shown);
    return display;
}
