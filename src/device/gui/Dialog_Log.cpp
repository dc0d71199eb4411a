#include "Dialog_Log.h"

#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "device/FirmwareBatch.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/filename.h>
#include <wx/sizer.h>

CDialog_Log::CDialog_Log(wxWindow* parent, const wxString& folder)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_BATCH_SHOWLOG", "查看日志"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_folder(folder)
{
    OpenHelpOnF1(this);
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxBORDER_THEME);
    const std::pair<const char*, const char*> columns[] = {
        {"ID_SERIAL", "序号"},   {"ID_SERIALNUM", "序列号"}, {"ID_PRODUCTNAME", "产品名称"}, {"ID_VERSION_OLD", "旧版本"},
        {"ID_VERSION", "版本"}, {"ID_RESULT", "结果"},      {"ID_TIME", "时间"}};
    for (const auto& [identifier, fallback] : columns)
        m_list->AppendColumn(GetUiText(identifier, fallback), wxLIST_FORMAT_LEFT, FromDIP(110));
    column->Add(m_list, 1, wxEXPAND | wxALL, 12);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* open = new wxButton(this, wxID_ANY, GetUiText("ID_CFGMAINDLG_OPEN", "打开"));
    open->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseLog(); });
    buttons->AddStretchSpacer();
    buttons->Add(open, 0);
    // Its one answer both closes on Escape and is the default.
    auto* close = new wxButton(this, wxID_CANCEL, GetUiLabel("IDOK", "确定(&O)"));
    close->SetDefault();
    buttons->Add(close, 0, wxLEFT, 8);
    column->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizer(column);
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
    SetSize(FromDIP(wxSize(820, 420)));
    CentreOnParent();
}

void CDialog_Log::ChooseLog()
{
    SFileQuestion question;
    question.filter = "XML Files (*.xml)|*.xml|All Files (*.*)|*.*";
    question.defaultFolder = m_folder;
    const wxString path = ::ChooseFile(this, question);
    if (!path.empty())
        ShowLog(path);
}

bool CDialog_Log::ShowDayLog(const wxString& programFolder, const wxDateTime& day)
{
    const wxString path = DayLogPath(programFolder, day);
    SetTitle(GetUiText("ID_BATCH_SHOWLOG", "查看日志") + " - " + wxFileName(path).GetFullName());
    if (!wxFileExists(path)) {
        m_list->DeleteAllItems();
        return false;
    }
    return ShowLog(path);
}

bool CDialog_Log::ShowLog(const wxString& path)
{
    m_list->DeleteAllItems();
    CBatchLogXmlInfo log;
    if (!log.Load(path))
        return false;
    long row = 0;
    for (const SBatchLogRecord& record : log.GetRecords()) {
        const long item = m_list->InsertItem(row, wxString::Format("%ld", row + 1));
        const wxString cells[] = {record.serialNumber, record.name, record.oldVersion,
                                  record.version,      record.state, record.time};
        for (int cell = 0; cell < 6; ++cell)
            m_list->SetItem(item, cell + 1, cells[cell]);
        ++row;
    }
    return true;
}
