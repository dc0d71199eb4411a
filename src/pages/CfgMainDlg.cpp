#include "CfgMainDlg.h"

#include "CfgTitleDlg.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "config/gui/ConfigPageEvents.h"
#include "config/gui/FileChooser.h"
#include "config/gui/UndoDlg.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "config/WriteFailureText.h"
#include "device/DeviceInfo.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineWait.h"
#include "model/PageMntXmlInfo.h"
#include "UI/gui/WaitDlg.h"

#include <wx/datetime.h>
#include <wx/ffile.h>
#include <wx/sizer.h>
#include <wx/tokenzr.h>

namespace {

const char* const kConfigurationFilter = "Vost Files (*.xml)|*.xml";
const char* const kDetailsFilter = "文件 (*.txt)|*.txt";
// More settings than this failing to reset means the model file and the pages
// disagree; the user may want the list.
const int32_t kResetFailuresWorthReporting = 70;

std::function<void()> g_mainScreenRequest;

struct SButtonText {
    int id;
    const char* textId;
    const char* fallback;
    bool onlineOnly;
};

const SButtonText kButtons[] = {
    {CCfgMainDlg::ID_OPEN, "ID_CFGMAINDLG_OPEN", "打开", false},
    {CCfgMainDlg::ID_SAVE, "ID_CFGMAINDLG_SAVE", "保存", false},
    {CCfgMainDlg::ID_SAVE_DEVICE, "ID_CFGMAINDLG_SAVEDEVICE", "保存到设备", true},
    {CCfgMainDlg::ID_DEFAULT, "ID_CFGMAINDLG_DEFAULT", "恢复默认", false},
    {CCfgMainDlg::ID_LOAD_USER_DEFAULTS, "ID_CFGMAINDLG_LOAD_USERDEF", "加载用户默认", true},
    {CCfgMainDlg::ID_SAVE_USER_DEFAULTS, "ID_CFGMAINDLG_SAVE_USERDEF", "保存用户默认", true},
};

bool ShowError(const wxString& text)
{
    ShowMessage(text, wxOK | wxICON_ERROR);
    return false;
}

bool AskScanner(const char* command)
{
    wxString answer;
    return CSaveCfg::QueryCommand(command, "", answer, "@");
}

CLineOwner& Line()
{
    return CHBDataStreamMnt::GetInstance().Line();
}

}  // namespace

void CCfgMainDlg::SetMainScreenRequest(std::function<void()> request)
{
    g_mainScreenRequest = std::move(request);
}

CCfgMainDlg::CCfgMainDlg(wxWindow* parent, bool online) : CHarbrekBaseDlg(parent), m_online(online)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    CreateButtons(buttons);
    m_heading = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 wxST_ELLIPSIZE_END);
    buttons->Add(m_heading, 1, wxALIGN_CENTER_VERTICAL | wxLEFT, 12);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 4);

    auto* body = new wxBoxSizer(wxHORIZONTAL);
    m_settings = new CCfgTitleDlg(this, online);
    // Values of a file opened from the model list wait in the engine; they need the
    // pages that the settings area has just read, and become the history's entries.
    CSaveCfg::GetInstance().ApplyLoadedValues();
    m_history = new CUndoDlg(this);
    body->Add(m_settings, 3, wxEXPAND | wxRIGHT, 4);
    body->Add(m_history, 1, wxEXPAND);
    sizer->Add(body, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 4);
    SetSizer(sizer);

    m_detailsPath = CAppContext::GetInstance().GetFilePath("tmp", "test.txt");
    Bind(EVT_VOSTREL_SHOW_SETTING, &CCfgMainDlg::OnShowSetting, this);
    ApplyUiTexts();
    ApplySharedFont();
    m_heading->SetFont(m_heading->GetFont().Bold());
}

CCfgMainDlg::~CCfgMainDlg()
{
    EndWork();
}

void CCfgMainDlg::EndWork()
{
    if (m_workEnded)
        return;
    m_workEnded = true;
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.ClearValues();
    engine.ClearErrorList();
    engine.ClearFailedQueries();
    // Leaving the page ends the work with this scanner: the user connects again.
    if (m_online)
        CHBDataStreamMnt::GetInstance().QueueClose();
}

void CCfgMainDlg::CreateButtons(wxSizer* sizer)
{
    for (const SButtonText& text : kButtons) {
        auto* button = new wxButton(this, text.id, GetUiText(text.textId, text.fallback));
        button->Show(m_online || !text.onlineOnly);
        sizer->Add(button, 0, wxRIGHT, 4);
        m_buttons[text.id] = button;
    }
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenFile(); }, ID_OPEN);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SaveFile(); }, ID_SAVE);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SaveToDevice(); }, ID_SAVE_DEVICE);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RestoreDefaults(); }, ID_DEFAULT);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { LoadUserDefaults(); }, ID_LOAD_USER_DEFAULTS);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SaveUserDefaults(); }, ID_SAVE_USER_DEFAULTS);
}

void CCfgMainDlg::ApplyUiTexts()
{
    for (const SButtonText& text : kButtons)
        m_buttons[text.id]->SetLabel(GetUiText(text.textId, text.fallback));
    if (m_settings)
        m_settings->ApplyUiTexts();
    Layout();
}

void CCfgMainDlg::SetEditedScanner(const wxString& text)
{
    m_heading->SetLabel(text);
    m_heading->SetToolTip(text);
    Layout();
}

wxString CCfgMainDlg::GetEditedScanner() const
{
    return m_heading->GetLabel();
}

wxButton* CCfgMainDlg::GetButton(int id) const
{
    const auto found = m_buttons.find(id);
    return found == m_buttons.end() ? nullptr : found->second;
}

void CCfgMainDlg::OpenFile()
{
    SFileQuestion question;
    question.filter = kConfigurationFilter;
    const wxString path = ChooseFile(this, question);
    if (path.empty())
        return;
    m_openedPath = path;
    m_filePending = true;
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (!engine.OpenConfiguration(path, true)) {
        if (!engine.OpenFailureText().empty())
            ShowMessage(engine.OpenFailureText(), wxOK | wxICON_ERROR);
        return;
    }
    ReportUnsupportedCommands();
    CPendingChangeList::GetInstance().ClearChanges();
    engine.ApplyLoadedValues();
}

void CCfgMainDlg::ReportUnsupportedCommands()
{
    const wxString list = CSaveCfg::GetInstance().GetUnsupportedList();
    CSaveCfg::GetInstance().ClearUnsupportedList();
    const wxArrayString names = wxStringTokenize(list, ",");
    if (names.empty())
        return;
    ShowMessage(wxString::Format("%s%d,%s", GetUiText("ID_CFG_MAIN_ERROR_OPENCONFIG1", "该设备的固件不支持的配置命令个数共有："),
                                 static_cast<int>(names.size()),
                                 GetUiText("ID_CFG_MAIN_ERROR_OPENCONFIG2", "详细信息请查看：")) +
                    list,
                wxOK | wxICON_WARNING);
}

bool CCfgMainDlg::RunExchange(const std::function<bool()>& work) const
{
    // A connected scanner takes seconds to send all its values at low baud rates;
    // offline nothing is exchanged and the work is over at once.
    return m_online ? CWaitDlg::RunWork(work) : work();
}

bool CCfgMainDlg::SaveConfigurationFile(const wxString& path)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    // Saving asks the scanner for everything it holds besides the pages' settings.
    // Online the work is a job on the line, which it holds already; offline nothing is
    // exchanged and the file is written at once.
    const bool saved = RunExchange([&engine, &path] { return engine.SaveConfiguration(path); });
    engine.RunDeviceHook(path);
    return saved;
}

bool CCfgMainDlg::SaveFile()
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    wxString message;
    if (!engine.CheckCutAreas(message)) {
        ShowError(message);
        return false;
    }
    SFileQuestion question;
    question.save = true;
    question.filter = kConfigurationFilter;
    question.extension = "xml";
    question.defaultName = ProposedNameForModel("xml");
    const wxString path = ChooseFile(this, question);
    if (path.empty())
        return false;
    const bool saved = SaveConfigurationFile(path);
    if (!saved)
        ShowError(GetUiText("ID_SAVE_FILE_ERROR", "保存文件失败!") + "\r\n" + path);
    const wxString exportPath = CAppContext::GetInstance().GetConfigurationFile();
    if (!exportPath.empty())
        engine.ExportDeviceConfiguration(exportPath);
    return saved;
}

void CCfgMainDlg::SaveToDevice()
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    wxFFile(CAppContext::GetInstance().GetSettingsFile("Config.ini"), "w").Close();
    wxString message;
    if (!engine.CheckCutAreas(message)) {
        ShowError(message);
        return;
    }
    bool serialChanges = false;
    if (engine.HasLinkChange()) {
        if (ShowMessage(GetUiText("ID_CFG_MAIN_ERROR", "接口改变,设备要重启,是否要保存?"), wxOK | wxCANCEL | wxICON_WARNING) != wxOK)
            return;
    } else if (engine.HasSerialChange()) {
        if (ShowMessage(GetUiText("ID_CFG_MAIN_ERROR_RS232", "串口参数修改,要返回主界面,是否要保存?"),
                        wxOK | wxCANCEL | wxICON_WARNING) != wxOK)
            return;
        serialChanges = true;
    }

    // A capture in progress is asked to stop first, with the user's yes; anything
    // else that has the line is waited for under the wait dialog.
    if (!MakeWayForLine(Line(), GetUiText("ID_LINE_ACTION_WRITE", "写入设备")))
        return;
    const wxString filePath = m_filePending ? m_openedPath : wxString();
    const bool applied = CWaitDlg::RunWork([&engine, &filePath] {
        // The writes and the read-back are one operation: nothing reads in between.
        CLineHold hold = Line().Take(LineUsers::kWrite);
        if (!filePath.empty() && engine.LoadFileForSending(filePath))
            engine.SendFileCommands();
        return engine.ApplyChanges();
    });
    if (!applied) {
        ReportFailedWrite();
        return;
    }
    CPendingChangeList::GetInstance().ClearChanges();
    engine.SpreadAllValues();
    ShowMessage(GetUiText("ID_SAVE_OK", "保存成功!"), wxOK | wxICON_INFORMATION);
    m_filePending = false;
    if (engine.IsLinkChanged() || serialChanges) {
        RequestMainScreen();
        return;
    }
    if (!engine.CheckCutAreas(message)) {
        ShowError(message);
        return;
    }
    WriteSnapshot();
}

void CCfgMainDlg::WriteSnapshot()
{
    const CDeviceInfo* model = CSaveCfg::GetInstance().GetCurrentModel();
    const wxString name = model ? model->m_name : wxString("unknown");
    CAppContext::GetInstance().CreateWorkingFolders();
    SaveConfigurationFile(CSaveCfg::GetSnapshotPath(name, wxDateTime::Now()));
}

// With `namesValues` (after writing the pending changes) each failed setting is told
// by its caption and the value sent, with why the scanner did not take it.
void CCfgMainDlg::ReportFailedWrite()
{
    ShowError(FailedWriteText(true));
}

void CCfgMainDlg::RestoreDefaults()
{
    CPendingChangeList::GetInstance().ClearChanges();
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    pages.ResetAllToDefaults();
    if (pages.GetResetFailCount() > kResetFailuresWorthReporting)
        OfferResetDetails(pages.GetResetFailCount(), pages.GetResetFailNames());
    if (m_settings)
        m_settings->RelayoutCurrentPage();
}

void CCfgMainDlg::OfferResetDetails(int32_t failures, const wxString& details)
{
    const wxString question = GetUiText("ID_DEVICE_ERROR_SET", "恢复出厂设置失败") + "," +
                              GetUiText("ID_DEVICE_ERROR_SET_CMD", "设置出错数") + wxString::Format("%d", failures) + "." +
                              GetUiText("ID_DEVICE_ERROR_SET_DETAIL", "是否保存详细信息？");
    if (ShowMessage(question, wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    SFileQuestion file;
    file.save = true;
    file.filter = kDetailsFilter;
    file.extension = "txt";
    // The user's own folders, as every file dialog: the program's folder may not be writable.
    file.defaultName = ProposedNameForModel("txt");
    const wxString path = ChooseFile(this, file);
    if (path.empty())
        return;
    m_detailsPath = path;
    wxFFile out;
    if (!out.Open(path, "w") || !out.Write(details, wxConvUTF8))
        ShowError(GetUiText("ID_OPENFILE_ERROR", "text.txt打不开"));
}

void CCfgMainDlg::LoadUserDefaults()
{
    if (!MakeWayForLine(Line(), GetUiText("ID_LINE_ACTION_LOAD", "导入用户默认")))
        return;
    const bool loaded = CWaitDlg::RunWork([] {
        CLineHold hold = Line().Take(LineUsers::kWrite);
        return AskScanner("CUSDEF") && CSaveCfg::GetInstance().ReadBackValues();
    });
    if (!loaded) {
        ShowError(GetUiText("ID_LOAD_USER_ERROR", "导入用户默认失败!"));
        return;
    }
    CPendingChangeList::GetInstance().ClearChanges();
    bool interfaceChanged = false;
    CSaveCfg::GetInstance().SpreadValues("INTERF", interfaceChanged);
    if (interfaceChanged) {
        ShowMessage(GetUiText("ID_CFG_MAIN_ERROR_INTERF", "接口类型改变,将退到主界面!"), wxOK | wxICON_WARNING);
        RequestMainScreen();
        return;
    }
    ShowMessage(GetUiText("ID_LOAD_USER_OK", "导入用户默认成功!"), wxOK | wxICON_INFORMATION);
}

void CCfgMainDlg::SaveUserDefaults()
{
    if (!MakeWayForLine(Line(), GetUiText("ID_LINE_ACTION_SAVE", "保存用户默认")))
        return;
    if (CWaitDlg::RunWork([] { return AskScanner("CUSSAV"); }))
        ShowMessage(GetUiText("ID_SAVE_USER_OK", "保存用户默认成功!"), wxOK | wxICON_INFORMATION);
    else
        ShowError(GetUiText("ID_SAVE_USER_ERROR", "保存用户默认失败!"));
}

bool CCfgMainDlg::ShowSetting(CCmdNameXmlInfo* definition)
{
    return m_settings && m_settings->ShowSetting(definition);
}

void CCfgMainDlg::OnShowSetting(wxCommandEvent& event)
{
    ShowSetting(static_cast<CCmdNameXmlInfo*>(event.GetClientData()));
}

void CCfgMainDlg::RequestMainScreen()
{
    if (g_mainScreenRequest)
        g_mainScreenRequest();
}
