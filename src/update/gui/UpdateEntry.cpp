#include "UpdateEntry.h"

#include "AppContext.h"
#include "Log.h"
#include "UiText.h"
#include "UpdateCheck.h"
#include "WaitDlg.h"

#include <wx/utils.h>
#include <wx/window.h>

namespace {

UpdaterLauncher g_launcher;

bool LaunchWithShell(const wxString& command)
{
    // Hidden and not waited for: the updater outlives this program.
    return wxExecute(command, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE | wxEXEC_MAKE_GROUP_LEADER) > 0;
}

}  // namespace

void SetUpdaterLauncher(UpdaterLauncher launcher)
{
    g_launcher = std::move(launcher);
}

wxString UpdaterCommand(const wxString& programDirectory, const wxString& version, const wxString& address)
{
    const wxString parameters = wxString::Format("-VER %s -URL %s -AUTO", version, address);
    return wxString::Format("\"%svostrel-update\" %s", programDirectory, parameters);
}

void RunUpdateEntry(wxWindow* mainWindow)
{
    SUpdateCheckResult result;
    const bool newer = CWaitDlg::Run(mainWindow, [&result] { return CheckForUpdate(result); });
    if (!newer) {
        ShowMessage(result.errorText.empty() ? GetUiText("ID_STRING_UPDATE_INFO", "已经是最新版本!") : result.errorText,
                    wxOK | wxICON_INFORMATION);
        return;
    }
    const wxString question =
        GetUiText("ID_STRING_UPDATE_UPDATE", "检测到新版本,更新将会关闭当前应用程序,是否要更新?");
    if (ShowMessage(question, wxYES_NO | wxICON_WARNING) == wxNO)
        return;
    const CAppContext& context = CAppContext::GetInstance();
    const wxString command = UpdaterCommand(context.GetProgramDirectory(), context.GetVersion(), result.address);
    VLOG(LOG_INFO, "starting %s", U8(command));
    if (!(g_launcher ? g_launcher(command) : LaunchWithShell(command))) {
        ShowMessage(GetUiText("ID_STRING_UPDATE_START_ERROR", "无法启动更新程序!"), wxOK | wxICON_ERROR);
        return;
    }
    mainWindow->Close();
}
