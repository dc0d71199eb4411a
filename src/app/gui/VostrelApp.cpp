#include "VostrelApp.h"

#include "AppContext.h"
#include "AppSettings.h"
#include "CrashDump.h"
#include "DemoScanner.h"
#include "GuiMessageBox.h"
#include "LanguageXmlInfo.h"
#include "Log.h"
#include "StartupRules.h"
#include "UiText.h"
#include "VostrelDlg.h"

#include <wx/image.h>
#include <wx/stdpaths.h>

bool CVostrelApp::OnInit()
{
    CAppContext& context = CAppContext::GetInstance();
    context.SetProgramDirectoryFromExecutable(wxStandardPaths::Get().GetExecutablePath());
    InstallCrashHandler(context.GetProgramDirectory(), context.GetApplicationName());
    context.SetVersion(FormatProgramVersion(VOSTREL_VERSION_TEXT));

    wxArrayString arguments;
    for (int i = 0; i < argc; ++i)
        arguments.Add(argv[i]);
    const SCommandLineFiles files = ScanCommandLine(arguments);
    context.SetCommandLineFiles(files.outputFile, files.configurationFile);
    context.CreateWorkingFolders();
    hbds_set_log_directory(context.GetFolder("log").utf8_str());
    SetAppName(context.GetApplicationName());

    // The demo: simulated scanners named in VOSTREL_SIMULATED_SCANNER are plugged in
    // before the first enumeration, so they are listed like real ones.
    AttachDemoScannersFromEnvironment();

    wxInitAllImageHandlers();
    InstallDialogMessageHandler();

    auto* window = new CVostrelDlg();
    SetTopWindow(window);
    if (!window->Start()) {
        window->Destroy();
        return false;
    }
    return true;
}

int CVostrelApp::OnExit()
{
    SetMessageHandler(nullptr);
    CLanguageXmlInfo::ResetInstance();
    CAppSettings::ResetInstance();
    return wxApp::OnExit();
}

wxIMPLEMENT_APP(CVostrelApp);
