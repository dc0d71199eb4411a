#include "LicenseCodeDlg.h"

#include "DriverLicenseInfoDlg.h"
#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineWait.h"
#include "model/CmdNameXmlInfo.h"
#include "UI/gui/Accessible.h"
#include "UI/gui/WaitDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>

namespace {

// The command that empties the scanner's own field selection.
const char* const kClearCommand = "DLPCLR";

wxString FailedClearText()
{
    wxString text = GetUiText("ID_SAVE_ERROR", "保存失败 \r\n");
    std::vector<wxString> failed = CSaveCfg::GetInstance().GetErrorList();
    // A scanner that did not answer leaves no refused item; the command is still named.
    if (failed.empty())
        failed.push_back(kClearCommand);
    for (const wxString& command : failed)
        text += GetUiText("ID_SAVE_ERROR_CMD", "命令") + " :[" + command + "] ";
    return text;
}

}  // namespace

CLicenseCodeDlg::CLicenseCodeDlg(wxWindow* parent, CCmdNameXmlInfo* setting)
    : CHarbrekBaseDlg(parent), m_setting(setting)
{
    CreateControls();
    ApplyUiTexts();
    ShowSelection(false);
}

void CLicenseCodeDlg::CreateControls()
{
    auto* flags = new wxBoxSizer(wxVERTICAL);
    m_advanced = new wxCheckBox(this, ID_ADVANCED, wxEmptyString);
    m_extraction = new wxCheckBox(this, ID_EXTRACTION, wxEmptyString);
    m_driverInfo = new wxButton(this, ID_DRIVER_INFO, wxEmptyString);
    m_clear = new wxButton(this, ID_CLEAR, wxEmptyString);
    for (wxWindow* window : {static_cast<wxWindow*>(m_advanced), static_cast<wxWindow*>(m_extraction),
                             static_cast<wxWindow*>(m_driverInfo), static_cast<wxWindow*>(m_clear)})
        flags->Add(window, 0, wxEXPAND | wxBOTTOM, 1);

    m_list = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(220, -1), 0, nullptr, wxLB_NEEDED_SB);

    m_caption = new wxStaticText(this, wxID_ANY, wxEmptyString);
    // The caption heads the whole column, above the flags beside the list.
    NameAfterLabel(m_list, m_caption);
    m_valueCaption = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_valueLine = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    m_previewCaption = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_previewLine = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    auto* lines = new wxFlexGridSizer(2, 4, 6);
    lines->AddGrowableCol(1);
    lines->Add(m_valueCaption, 0, wxALIGN_CENTER_VERTICAL);
    lines->Add(m_valueLine, 1, wxEXPAND);
    lines->Add(m_previewCaption, 0, wxALIGN_CENTER_VERTICAL);
    lines->Add(m_previewLine, 1, wxEXPAND);

    auto* choice = new wxBoxSizer(wxHORIZONTAL);
    choice->Add(flags, 0, wxEXPAND | wxRIGHT, 6);
    choice->Add(m_list, 1, wxEXPAND);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(m_caption, 0, wxBOTTOM, 2);
    column->Add(choice, 1, wxEXPAND | wxBOTTOM, 4);
    column->Add(lines, 0, wxEXPAND);
    SetSizer(column);
    ApplySharedFont();

    m_advanced->Bind(wxEVT_CHECKBOX, &CLicenseCodeDlg::OnFlag, this);
    m_extraction->Bind(wxEVT_CHECKBOX, &CLicenseCodeDlg::OnFlag, this);
    m_driverInfo->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenPicker(); });
    m_clear->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ClearOnScanner(); });
    // Clearing talks to the scanner; a model without one has nothing to clear.
    const bool online = CSaveCfg::GetInstance().IsOnline();
    m_clear->Enable(online);
}

void CLicenseCodeDlg::ApplyUiTexts()
{
    m_caption->SetLabel(GetUiText("ID_DRIVERLICENSE_DLG_DETAILED", "Detailed Setting of Driver License Code"));
    m_advanced->SetLabel(
        GetUiText("ID_DRIVERLICENSE_DLG_ADVANCEDFORMATTING", "Advanced Formatting/Label Edit Script Enable"));
    m_extraction->SetLabel(GetUiText("ID_DRIVERLICENSE_DLG_ELEMENTEXTRACTION", "Element Extraction Enable"));
    m_driverInfo->SetLabel(GetUiText("ID_DRIVERLICENSE_DLG_DRIVERINFO", "Driver License Info"));
    m_clear->SetLabel(GetUiText("ID_DRIVERLICENSE_CLEAR", "Clear"));
    m_valueCaption->SetLabel(GetUiText("ID_DRIVERLICENSE_VALUE", "设置值"));
    m_previewCaption->SetLabel(GetUiText("ID_DRIVERLICENSE_PREVIEW", "样本证件输出预览"));
#if wxUSE_TOOLTIPS
    if (!m_clear->IsEnabled())
        m_clear->SetToolTip(GetUiText("ID_DRIVERLICENSE_CLEAR_OFFLINE", "需要连接扫描器"));
#endif
    Layout();
}

void CLicenseCodeDlg::ShowValue(const wxString& value)
{
    m_code.ReadValue(value);
    ShowSelection(false);
}

void CLicenseCodeDlg::TakeSelection(const std::vector<SLicenseEntry>& entries)
{
    m_code.entries = entries;
    ShowSelection(true);
}

void CLicenseCodeDlg::OpenPicker()
{
    CDriverLicenseInfoDlg picker(this, m_code.entries);
    if (picker.ShowModal() == wxID_OK)
        TakeSelection(picker.GetSelection());
}

void CLicenseCodeDlg::ClearOnScanner()
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    CLineOwner& line = CHBDataStreamMnt::GetInstance().Line();
    if (!engine.IsOnline() || !MakeWayForLine(line, GetUiText("ID_LINE_ACTION_SEND", "发送此命令")))
        return;
    engine.ClearErrorList();
    const auto exchange = [&line] {
        CLineHold hold = line.Take(LineUsers::kExchange);
        wxString answer;
        return CSaveCfg::QueryCommand(kClearCommand, "", answer, "@");
    };
    const bool cleared = CWaitDlg::RunWork(exchange);
    if (!cleared) {
        ShowMessage(FailedClearText(), wxOK | wxICON_ERROR);
        return;
    }
    m_code.Clear();
    ShowSelection(true);
}

void CLicenseCodeDlg::OnFlag(wxCommandEvent& event)
{
    event.Skip();
    m_code.advancedFormatting = m_advanced->GetValue();
    m_code.elementExtraction = m_extraction->GetValue();
    ShowSelection(true);
}

void CLicenseCodeDlg::ShowSelection(bool commit)
{
    m_advanced->SetValue(m_code.advancedFormatting);
    m_extraction->SetValue(m_code.elementExtraction);
    wxArrayString names;
    for (const SLicenseEntry& entry : m_code.entries)
        names.Add(entry.name);
    m_list->Set(names);
    const wxString value = m_code.ValueText();
    m_valueLine->ChangeValue(value);
    m_previewLine->ChangeValue(LicensePreview(m_code));
    if (commit && m_setting)
        m_setting->SetValue(value);
}
