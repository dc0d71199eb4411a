#include "UpdateEntry.h"

#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "UI/gui/WaitDlg.h"
#include "update/UpdateCheck.h"

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

wxString UpdaterCommand(const wxString& programDirectory, const wxString& version, const wxString& address,
                        const wxString& caFile)
{
    wxString parameters = wxString::Format("-VER %s -URL %s -AUTO", version, address);
    if (!caFile.empty())
        parameters += wxString::Format(" -CAFILE \"%s\"", caFile);
    return wxString::Format("\"%svostrel-update\" %s", programDirectory, parameters);
}

namespace {

void ShowNoSource()
{
    const wxString format = GetUiText("ID_STRING_UPDATE_NO_SOURCE",
                                      "No update source is set, so there is nothing to check. To check for updates, "
                                      "write the update server's address as url=... in section [cfg] of %s.");
    ShowMessage(wxString::Format(format, CAppContext::GetInstance().GetSettingsFile("server.cfg")),
                wxOK | wxICON_INFORMATION);
}

// An installed copy belongs to the package manager: it is told, never replaced.
void ShowPackagedUpdate(const wxString& address)
{
    const wxString format = GetUiText("ID_STRING_UPDATE_PACKAGED",
                                      "A newer version is available (%s). Vostrel was installed as a package: "
                                      "update it with the package manager, for example "
                                      "\"sudo apt update && sudo apt install vostrel\".");
    ShowMessage(wxString::Format(format, address), wxOK | wxICON_INFORMATION);
}

}  // namespace

void RunUpdateEntry(wxWindow* mainWindow)
{
    SUpdateCheckResult result;
    const bool newer = CWaitDlg::Run(mainWindow, [&result] { return CheckForUpdate(result); });
    if (result.noSource) {
        ShowNoSource();
        return;
    }
    if (!newer) {
        ShowMessage(result.errorText.empty() ? GetUiText("ID_STRING_UPDATE_INFO", "已经是最新版本!") : result.errorText,
                    wxOK | wxICON_INFORMATION);
        return;
    }
    if (!CanReplaceOwnFiles()) {
        ShowPackagedUpdate(result.address);
        return;
    }
    const wxString question =
        GetUiText("ID_STRING_UPDATE_UPDATE", "检测到新版本,更新将会关闭当前应用程序,是否要更新?");
    if (ShowMessage(question, wxYES_NO | wxICON_WARNING) == wxNO)
        return;
    const CAppContext& context = CAppContext::GetInstance();
    const SUpdateSource source = ReadUpdateSource(context.GetSettingsFile("server.cfg"));
    const wxString command =
        UpdaterCommand(context.GetProgramDirectory(), context.GetVersion(), result.address, source.caFile);
    VLOG(LOG_INFO, "starting %s", U8(command));
    if (!(g_launcher ? g_launcher(command) : LaunchWithShell(command))) {
        ShowMessage(GetUiText("ID_STRING_UPDATE_START_ERROR", "无法启动更新程序!"), wxOK | wxICON_ERROR);
        return;
    }
    mainWindow->Close();
}
