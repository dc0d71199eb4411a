#include "VostrelApp.h"

#include "Automation.h"
#include "VostrelDlg.h"
#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/CrashDump.h"
#include "app/LanguageXmlInfo.h"
#include "app/Log.h"
#include "app/StartupRules.h"
#include "app/UiText.h"
#include "barcode/HBSCodeMid.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "demo/DemoScanner.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "model/CmdGetRangeLenMnt.h"
#include "model/ControlFactory.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "regCtrl/object/ControlMnt.h"
#include "regCtrl/object/CreateObject.h"
#include "UI/gui/GuiMessageBox.h"

#include <wx/image.h>
#include <wx/stdpaths.h>

#include <thread>

namespace {

// The single objects, users before what they use: the engine and the pending changes
// point into the pages and the command map, controls come from the registry, and the
// link manager's entries hold handles of the device-link library.
void DeleteSingleObjects()
{
    CSaveCfg::ResetInstance();
    CPendingChangeList::ResetInstance();
    CPageMntXmlInfo::ResetInstance();
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    CCmdGetRangeLenMnt::ResetInstance();
    SetControlFactory(nullptr);
    CWindowControlFactory::ResetInstance();
    CControlMnt::ResetInstance();
    CCreateObject::ResetInstance();
    CHBDataStreamMnt::ResetInstance();
    CDeviceMnt::ResetInstance();
    CLanguageXmlInfo::ResetInstance();
    CAppSettings::ResetInstance();
}

}  // namespace

CVostrelApp::CVostrelApp() = default;
CVostrelApp::~CVostrelApp() = default;

bool CVostrelApp::OnInit()
{
    CAppContext& context = CAppContext::GetInstance();
    context.SetProgramDirectoryFromExecutable(wxStandardPaths::Get().GetExecutablePath());
    context.CreateWorkingFolders();
    InstallCrashHandler(context.GetProgramDirectory(), context.GetApplicationName(), context.GetUserFolders().state);
    context.SetVersion(FormatProgramVersion(VOSTREL_VERSION_TEXT));

    wxArrayString arguments;
    for (int i = 0; i < argc; ++i)
        arguments.Add(argv[i]);
    const SCommandLineFiles files = ScanCommandLine(arguments);
    context.SetCommandLineFiles(files.outputFile, files.configurationFile);
    hbds_set_log_directory(context.GetFolder("log").utf8_str());
    SetAppName(context.GetApplicationName());

    // The demo: simulated scanners named in VOSTREL_SIMULATED_SCANNER are plugged in
    // before the first enumeration, so they are listed like real ones.
    AttachDemoScannersFromEnvironment();

    // From here on this thread keeps the windows answering: it queues its work on
    // the scanner line and never waits for it.
    CLineOwner::ForbidThread(std::this_thread::get_id());
    m_stallWatch.reset(CStallWatch::FromEnvironment());
    wxInitAllImageHandlers();
    InitBCDll();
    InstallDialogMessageHandler();
    m_mnemonics = std::make_unique<CMnemonicManager>();

    auto* window = new CVostrelDlg();
    SetTopWindow(window);
    if (!window->Start()) {
        window->Destroy();
        return false;
    }
    // Told once the texts of the chosen language are loaded; the program goes on.
    if (context.GetFolderProblem().Happened())
        ShowMessage(FolderProblemMessage(context.GetFolderProblem()), wxOK | wxICON_WARNING);
    if (!files.updateError.empty()) {
        const wxString format = GetUiText("ID_STRING_UPDATE_FAILED",
                                          "The update was not installed: %s. This is still the version you had.");
        ShowMessage(wxString::Format(format, files.updateError), wxOK | wxICON_WARNING);
    }
    m_automation = CAutomation::FromEnvironment(*window);
    if (m_automation)
        m_automation->Start();
    return true;
}

int CVostrelApp::OnRun()
{
    const int status = wxApp::OnRun();
    return m_automation && m_automation->HasFailed() ? kAutomationFailed : status;
}

int CVostrelApp::OnExit()
{
    // The windows are gone: what is left to close is closed from here.
    CLineOwner::ForbidThread(std::thread::id());
    m_stallWatch.reset();
    m_automation.reset();
    m_mnemonics.reset();
    SetMessageHandler(nullptr);
    // The simulated scanners go first, while the library they are plugged into and
    // the link manager's connections to them are all still there.
    DetachAllDemoScanners();
    DeleteSingleObjects();
    FreeMemory();
    return wxApp::OnExit();
}

wxIMPLEMENT_APP(CVostrelApp);
