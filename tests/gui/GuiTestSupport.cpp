#include "GuiTestSupport.h"

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/LanguageXmlInfo.h"
#include "barcode/BarcodeRequest.h"
#include "config/gui/FileChooser.h"
#include "config/SaveCfg.h"
#include "demo/DemoScanner.h"
#include "device/DeviceMnt.h"
#include "device/HBDataStreamMnt.h"
#include "hbds/hbds.h"
#include "model/CmdGetRangeLenMnt.h"
#include "model/ControlFactory.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "pages/CfgMainDlg.h"
#include "pages/CfgTitleDlg.h"
#include "regCtrl/object/ControlMnt.h"
#include "regCtrl/object/CreateObject.h"
#include "shell/DeviceOutLineDlg.h"
#include "shell/VostrelDlg.h"
#include "UI/gui/KeyBoardCtrl.h"
#include "UI/gui/WaitDlg.h"

#include "support/LinkFixture.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <chrono>
#include <stdexcept>
#include <thread>

void ResetPageSingletons()
{
    CPageMntXmlInfo::ResetInstance();
    CPendingChangeList::ResetInstance();
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    CCmdGetRangeLenMnt::ResetInstance();
    CSaveCfg::ResetInstance();
    CAppContext::ResetInstance();
    CWindowControlFactory::ResetInstance();
    CControlMnt::ResetInstance();
    CCreateObject::ResetInstance();
    SetControlFactory(nullptr);
}

void Send(wxWindow* widget, wxEventType type)
{
    ASSERT_NE(nullptr, widget);
    wxCommandEvent event(type, widget->GetId());
    event.SetEventObject(widget);
    if (auto* choice = dynamic_cast<wxChoice*>(widget))
        event.SetInt(choice->GetSelection());
    widget->GetEventHandler()->ProcessEvent(event);
}

void Press(wxWindow* button)
{
    Send(button, wxEVT_BUTTON);
}

void Tick(wxCheckBox* box, bool ticked)
{
    ASSERT_NE(nullptr, box);
    box->SetValue(ticked);
    Send(box, wxEVT_CHECKBOX);
}

void Pick(wxChoice* choice, const wxString& label)
{
    ASSERT_NE(nullptr, choice);
    ASSERT_NE(wxNOT_FOUND, choice->FindString(label)) << label;
    choice->SetSelection(choice->FindString(label));
    Send(choice, wxEVT_CHOICE);
}

std::vector<wxString> EntriesOf(const wxChoice* choice)
{
    std::vector<wxString> entries;
    for (unsigned int i = 0; choice && i < choice->GetCount(); ++i)
        entries.push_back(choice->GetString(i));
    return entries;
}

void Leave(wxTextCtrl& edit)
{
    wxFocusEvent event(wxEVT_KILL_FOCUS, edit.GetId());
    event.SetEventObject(&edit);
    edit.GetEventHandler()->ProcessEvent(event);
}

void PressEnter(wxTextCtrl& edit)
{
    Send(&edit, wxEVT_TEXT_ENTER);
}

void SendKey(wxWindow* window, int code, bool control)
{
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = code;
    key.SetControlDown(control);
    window->GetEventHandler()->ProcessEvent(key);
}

size_t KeyIndex(const CKeyBoardCtrl& pad, const wxString& legend)
{
    for (size_t i = 0; i < pad.CurrentLayout().count; ++i) {
        if (pad.CurrentLayout().keys[i].bottomText == legend)
            return i;
    }
    ADD_FAILURE() << "no key " << legend;
    return 0;
}

void DriveWhile(int periodMs, const std::function<void(wxTimer&)>& tick, const std::function<void()>& run)
{
    wxTimer driver;
    driver.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { tick(driver); });
    driver.Start(periodMs);
    run();
    driver.Stop();
}

void CountLineWork(int& runs)
{
    CWaitDlg::SetWorkRunner([&runs](const std::function<bool()>& work) {
        ++runs;
        return RunOnLine(work);
    });
}

bool RunOnLine(const std::function<bool()>& work)
{
    return CHBDataStreamMnt::GetInstance().Jobs().Run(LineUsers::kExchange, [&work](CLineJob&) { return work(); });
}

bool RunUntil(const std::function<bool()>& done, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        wxYield();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// What a page test may have left installed, and its frame, gone.
static void CloseFrame(wxFrame* frame)
{
    SetFileChooser(nullptr);
    CWaitDlg::SetWorkRunner(nullptr);
    if (frame)
        frame->Destroy();
    wxTheApp->ProcessIdle();
}

void PageFixture::TearDown()
{
    CloseFrame(m_frame);
    ResetPageSingletons();
    CHBDataStreamMnt::ResetInstance();
    hbds_clear_serial_paths();
}

void PageFixture::LoadFiles(const char* model, const char* pages)
{
    CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
    m_dir.Write("Config/Model.xml", model);
    m_dir.Write("Config/pageinfo.xml", pages);
    ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::GetInstance().Load("Model.xml"));
    ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
    InstallWindowControlFactory();
}

void PageFixture::BuildPage(const char* pageName)
{
    SControlRect rect;
    rect.right = 640;
    rect.bottom = 800;
    CPageXmlInfo* page = CPageMntXmlInfo::GetInstance().FindPage(pageName);
    ASSERT_NE(nullptr, page) << pageName;
    for (const auto& group : page->GetGroups())
        ASSERT_TRUE(group->CreateControls(m_page, rect, true));
    page->GetGroups().front()->MoveGroup(0);
}

CCmdNameXmlInfo& PageFixture::Setting(const char* name)
{
    CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(name);
    if (!definition)
        throw std::runtime_error(std::string("no setting ") + name);
    return *definition;
}

CScriptedScanner& PageFixture::ConnectScanner(std::vector<std::string> replies, bool online)
{
    m_scanner = std::make_unique<CScriptedScanner>();
    EXPECT_NE(nullptr, OpenTestDevice(m_scanner->Path(), 115200, 150));
    m_scanner->Script(std::move(replies));
    CSaveCfg::GetInstance().SetOnline(online);
    return *m_scanner;
}

void MainWindowFixture::SetUp()
{
    m_dir.CopyShippedData();
    CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
}

void MainWindowFixture::TearDown()
{
    if (m_window)
        Destroy();
    CDeviceOutLineDlg::SetFileChooser(nullptr);
    CWaitDlg::SetWorkRunner(nullptr);
    CHBDataStreamMnt::ResetInstance();
    for (uint32_t port : m_ports)
        DetachDemoScanner(port);
    ResetPageSingletons();
    CDeviceMnt::ResetInstance();
    CLanguageXmlInfo::ResetInstance();
    CAppSettings::ResetInstance();
}

bool MainWindowFixture::Start(const std::string& ini)
{
    if (!ini.empty())
        m_dir.Write("hbs.ini", ini);
    m_window = new CVostrelDlg();
    SStartOptions options;
    options.checkSingleInstance = false;
    options.maximise = false;
    const bool started = m_window->Start(options);
    wxTheApp->ProcessPendingEvents();
    return started;
}

void MainWindowFixture::Destroy()
{
    m_window->Destroy();
    m_window = nullptr;
    wxTheApp->ProcessIdle();  // deletes the window
}

uint32_t MainWindowFixture::Plug(const char* model)
{
    wxString error;
    const uint32_t port = AttachDemoScanner(model, "", 115200, error);
    EXPECT_NE(0u, port) << error;
    m_ports.push_back(port);
    return port;
}

void ShippedPageFixture::SetUp()
{
    m_dir.CopyShippedData();
    CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
    CAppContext::GetInstance().CreateWorkingFolders();
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    ASSERT_TRUE(languages.LoadLanguageTexts("EN"));
    InstallWindowControlFactory();
    ASSERT_TRUE(CDeviceMnt::GetInstance().Load());
    m_frame = new wxFrame(nullptr, wxID_ANY, "test", wxDefaultPosition, wxSize(1300, 900));
    m_frame->SetSizer(new wxBoxSizer(wxVERTICAL));
    m_frame->Show();
}

void ShippedPageFixture::TearDown()
{
    CloseFrame(m_frame);
    if (m_port)
        DetachDemoScanner(m_port);
    CHBDataStreamMnt::ResetInstance();
    CBarcodeRequest::ResetInstance();
    ResetPageSingletons();
    CDeviceMnt::ResetInstance();
    CLanguageXmlInfo::ResetInstance();
}

CDeviceInfo* ShippedPageFixture::UseModel(const char* key)
{
    CDeviceInfo* model = nullptr;
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories())
        model = model ? model : category->FindByProductName(key);
    EXPECT_NE(nullptr, model) << key;
    if (model) {
        CSaveCfg::GetInstance().SetCurrentModel(model);
        CSaveCfg::GetInstance().SetSetupCommand(model->m_setupCommand);
    }
    return model;
}

CCfgMainDlg* ShippedPageFixture::OpenPage(bool online)
{
    auto* page = new CCfgMainDlg(m_frame, online);
    m_frame->GetSizer()->Add(page, 1, wxEXPAND);
    m_frame->Layout();
    wxYield();
    return page;
}
