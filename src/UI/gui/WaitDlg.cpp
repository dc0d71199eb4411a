#include "WaitDlg.h"

#include "HarbrekBaseDlg.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "device/HBDataStreamMnt.h"

#include <wx/app.h>
#include <wx/sizer.h>

namespace {

// Often enough for a smooth pulse; the same tick notices that the task has ended.
const int kPollMs = 50;

}  // namespace

CWaitDlg::CWaitDlg(wxWindow* parent, Task task, const wxString& text)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_CAPTION", "Vostrel"), wxDefaultPosition, wxDefaultSize, wxCAPTION),
      m_task(std::move(task)), m_timer(this)
{
    CreateControls(text.empty() ? GetUiText("ID_WAIT_TEXT", "正在处理，请稍候...") : text);
    Bind(wxEVT_TIMER, &CWaitDlg::OnTimer, this);
    Bind(wxEVT_CLOSE_WINDOW, &CWaitDlg::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &CWaitDlg::OnCharHook, this);
}

CWaitDlg::~CWaitDlg()
{
    m_timer.Stop();
}

void CWaitDlg::CreateControls(const wxString& text)
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY, text), 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 16);
    m_gauge = new wxGauge(this, wxID_ANY, 1000, wxDefaultPosition, wxSize(320, -1));
    column->Add(m_gauge, 0, wxEXPAND | wxLEFT | wxRIGHT, 16);
    m_progressText = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                      wxST_NO_AUTORESIZE | wxALIGN_CENTRE_HORIZONTAL);
    column->Add(m_progressText, 0, wxEXPAND | wxALL, 16);
    m_stop = new wxButton(this, wxID_CANCEL, GetUiText("ID_STOP", "Stop"));
    m_stop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Stop(); });
    column->Add(m_stop, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, 16);
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
    SetSizerAndFit(column);
    CentreOnParent();
}

bool CWaitDlg::RunModal()
{
    if (m_started)
        return m_job && m_job->Wait() && !m_stopped;
    m_started = true;
    m_startTime = std::chrono::steady_clock::now();
    // The window goes only when the task has ended, so the task may use what the
    // caller owns.
    m_job = CHBDataStreamMnt::GetInstance().Jobs().Queue(
        LineUsers::kExchange, [this](CLineJob&) { return RunTaskOnLine(); },
        [this](bool) { m_finished.store(true, std::memory_order_release); });
    // Polling rather than a message from the worker: a task that ends before the
    // window is up is then seen at the first tick inside the modal loop, where
    // ending the loop is allowed.
    m_timer.Start(kPollMs);
    ShowModal();
    m_timer.Stop();
    // Ended already: only its result is still being stored.
    return m_job->Wait() && !m_stopped;
}

namespace {

CWaitDlg::WorkRunner g_workRunner;

}  // namespace

void CWaitDlg::SetWorkRunner(WorkRunner runner)
{
    g_workRunner = std::move(runner);
}

bool CWaitDlg::RunWork(const std::function<bool()>& work)
{
    // Without the main window's runner (a page on its own), the wait dialog serves
    // all the same: the work talks to the scanner, which the window thread never does.
    return g_workRunner ? g_workRunner(work) : Run(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, work);
}

bool CWaitDlg::Run(wxWindow* parent, Task task, const wxString& text)
{
    CWaitDlg dialog(parent, std::move(task), text);
    return dialog.RunModal();
}

bool CWaitDlg::RunTaskOnLine()
{
    bool result = false;
    WatchThisThreadsTask(&m_progress);
    try {
        result = m_task && m_task();
    } catch (...) {
        // Nothing may cross the thread boundary; the caller sees a failed task.
        logout_line(LOG_ERROR, "WaitDlg.cpp", __LINE__, "%s", "task ended with an exception");
        result = false;
    }
    WatchThisThreadsTask(nullptr);
    return result;
}

void CWaitDlg::OnTimer(wxTimerEvent&)
{
    ShowProgress();
    if (m_finished.load(std::memory_order_acquire) && IsModal())
        EndModal(wxID_OK);
}

void CWaitDlg::ShowProgress()
{
    if (m_stopped) {
        m_gauge->Pulse();
        return;
    }
    const SProgressDisplay display = DisplayOf(m_progress, m_startTime);
    if (!display.known) {
        m_gauge->Pulse();
        return;
    }
    m_gauge->SetValue(display.permille);
    if (display.text != m_progressText->GetLabel())
        m_progressText->SetLabel(display.text);
}

void CWaitDlg::OnClose(wxCloseEvent& event)
{
    // The task cannot be abandoned halfway: the window goes when the task does.
    if (event.CanVeto() && !m_finished.load(std::memory_order_acquire)) {
        event.Veto();
        return;
    }
    if (IsModal())
        EndModal(wxID_OK);
}

void CWaitDlg::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_ESCAPE) {
        Stop();
        return;
    }
    event.Skip();
}

void CWaitDlg::Stop()
{
    if (m_stopped || !m_job)
        return;
    m_stopped = true;
    m_job->Cancel();
    m_stop->Disable();
    m_progressText->SetLabel(GetUiText("ID_STOPPING", "Stopping..."));
}
