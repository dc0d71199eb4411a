#include "UndoDlg.h"

#include "device/HBDataStreamMnt.h"

#include "ConfigPageEvents.h"
#include "UndoListBox.h"
#include "app/UiText.h"
#include "barcode/BarcodeRequest.h"
#include "config/PendingChangeList.h"
#include "config/SaveCfg.h"
#include "model/CmdNameXmlInfo.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"
#include "UI/gui/WaitDlg.h"

#include <wx/sizer.h>
#include <wx/thread.h>

#include <vector>

namespace {

struct SChoiceText {
    const char* id;
    const char* fallback;
};

struct SModeText {
    SChoiceText entry;
    SChoiceText tooltip;
};

// Indexed by the pending-change list's send-at-once mode.
const SModeText kModes[] = {
    {{"ID_UNDODLG_CONFIG_BUFFER", "关闭"},
     {"ID_UNDODLG_CONFIG_BUFFER_TIPS", "配置修改暂存在配置历史"}},
    {{"ID_UNDODLG_CONFIG_DEVICE_MEM", "打开"},
     {"ID_UNDODLG_CONFIG_DEVICE_MEM_TIPS", "配置修改写入设备内存。"}},
};

const std::vector<SChoiceText> kSettingsChoices = {
    {"ID_UNDODLG_CHANGED_SET", "Changed Settings"},
    {"ID_UNDODLG_SELECTED_SET", "Selected Settings"},
    {"ID_UNDODLG_CLONE_SET", "Clone Settings"},
};
const std::vector<SChoiceText> kOutputChoices = {
    {"ID_UNDODLG_DISPLAY", "Display"},
    {"ID_UNDODLG_PRINT", "Print"},
};
const std::vector<SChoiceText> kFamilyChoices = {
    {"ID_UNDODLG_1D", "1D"},
    {"ID_UNDODLG_2D", "2D"},
    {"ID_UNDODLG_DM", "DM"},
};

// Refills a chooser in the current language, keeping its selection.
void FillChoice(wxChoice* choice, const std::vector<SChoiceText>& texts, int selection)
{
    choice->Clear();
    for (const SChoiceText& text : texts)
        choice->Append(GetUiText(text.id, text.fallback));
    const bool valid = selection >= 0 && selection < static_cast<int>(texts.size());
    choice->SetSelection(valid ? selection : 0);
}

int SelectionOf(const wxChoice* choice)
{
    const int selection = choice->GetSelection();
    return selection == wxNOT_FOUND ? 0 : selection;
}

}  // namespace

CUndoDlg::CUndoDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    m_jobs.ShowBusyOn(this);
    CreateControls();
    ApplySharedFont();
    m_txtCaption->SetFont(m_txtCaption->GetFont().Bold());
    ApplyUiTexts();
    CPendingChangeList::GetInstance().SetRepaintHandler([this] { OnChangesChanged(); });
}

CUndoDlg::~CUndoDlg()
{
    CPendingChangeList::GetInstance().SetRepaintHandler(nullptr);
}

void CUndoDlg::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* header = new wxBoxSizer(wxHORIZONTAL);
    m_txtCaption = new wxStaticText(this, wxID_ANY, wxEmptyString);
    header->Add(m_txtCaption, 1, wxALIGN_CENTER_VERTICAL);
    m_cmbMode = new wxChoice(this, wxID_ANY);
    m_cmbMode->Bind(wxEVT_CHOICE, &CUndoDlg::OnModeChanged, this);
    header->Add(m_cmbMode, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(header, 0, wxEXPAND | wxALL, 6);

    m_list = new CUndoListBox(this);
    m_list->SetUndoHandler([this](CCmdNameXmlInfo* entry) { UndoEntry(entry); });
    m_list->Bind(wxEVT_LISTBOX_DCLICK, &CUndoDlg::OnEntryDoubleClicked, this);
    top->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);

    top->Add(CreateQuickConfig(), 0, wxEXPAND | wxALL, 6);
    SetSizer(top);
}

wxSizer* CUndoDlg::CreateQuickConfig()
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, wxEmptyString);
    m_boxQuickConfig = box->GetStaticBox();

    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    const auto addRow = [this, grid](wxStaticText*& label, wxChoice*& choice) {
        label = new wxStaticText(m_boxQuickConfig, wxID_ANY, wxEmptyString);
        choice = new wxChoice(m_boxQuickConfig, wxID_ANY);
        grid->Add(label, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(choice, 1, wxEXPAND);
    };
    addRow(m_txtSettings, m_cmbSettings);
    addRow(m_txtOutput, m_cmbOutput);
    addRow(m_txtFamily, m_cmbFamily);
    box->Add(grid, 0, wxEXPAND | wxALL, 4);

    m_btnGenerate = new wxButton(m_boxQuickConfig, wxID_ANY, wxEmptyString);
    m_btnGenerate->Bind(wxEVT_BUTTON, &CUndoDlg::OnGenerateBarcode, this);
    box->Add(m_btnGenerate, 0, wxEXPAND | wxALL, 4);
    return box;
}

void CUndoDlg::ApplyUiTexts()
{
    m_txtCaption->SetLabel(GetUiText("ID_UNDODLG_CAP", "Configuration History"));
    m_boxQuickConfig->SetLabel(GetUiText("ID_UNDODLG_CONFIG", "Quick Config"));
    m_txtSettings->SetLabel(GetUiText("ID_UNDODLG_SETTINGS", "Settings"));
    m_txtOutput->SetLabel(GetUiText("ID_UNDODLG_MEDIAFORMAT", "Media Format"));
    m_txtFamily->SetLabel(GetUiText("ID_UNDODLG_BARCODETYPE", "Bar Code Type"));
    m_btnGenerate->SetLabel(GetUiText("ID_UNDODLG_CREATEBARCODE", "GENERATE BAR CODE"));
    FillChoosers();
    m_list->ApplyUiTexts();
    Layout();
}

void CUndoDlg::FillChoosers()
{
    std::vector<SChoiceText> modes;
    for (const SModeText& mode : kModes)
        modes.push_back(mode.entry);
    // The mode belongs to the list and outlives this view: show the list's.
    FillChoice(m_cmbMode, modes, CPendingChangeList::GetInstance().GetSendAtOnce());
    UpdateModeTooltip();

    const int settings = m_cmbSettings->IsEmpty() ? m_quickConfig.settings : SelectionOf(m_cmbSettings);
    const int output = m_cmbOutput->IsEmpty() ? m_quickConfig.output : SelectionOf(m_cmbOutput);
    const int family = m_cmbFamily->IsEmpty() ? m_quickConfig.family : SelectionOf(m_cmbFamily);
    FillChoice(m_cmbSettings, kSettingsChoices, settings);
    FillChoice(m_cmbOutput, kOutputChoices, output);
    FillChoice(m_cmbFamily, kFamilyChoices, family);
}

void CUndoDlg::UpdateModeTooltip()
{
    const SChoiceText& tooltip = kModes[SelectionOf(m_cmbMode)].tooltip;
    m_cmbMode->SetToolTip(GetUiText(tooltip.id, tooltip.fallback));
}

void CUndoDlg::OnChangesChanged()
{
    // The apply may change values on its worker thread; windows are touched on the UI thread only.
    if (wxIsMainThread())
        m_list->SyncWithChanges();
    else
        CallAfter([this] { m_list->SyncWithChanges(); });
}

void CUndoDlg::OnModeChanged(wxCommandEvent&)
{
    CPendingChangeList::GetInstance().SetSendAtOnce(SelectionOf(m_cmbMode));
    UpdateModeTooltip();
}

void CUndoDlg::OnEntryDoubleClicked(wxCommandEvent& event)
{
    if (event.GetInt() < 0)
        return;
    PostShowSetting(m_list->GetEntry(static_cast<size_t>(event.GetInt())));
}

void CUndoDlg::OnGenerateBarcode(wxCommandEvent&)
{
    m_quickConfig.settings = SelectionOf(m_cmbSettings);
    m_quickConfig.output = SelectionOf(m_cmbOutput);
    m_quickConfig.family = SelectionOf(m_cmbFamily);
    m_quickConfig.buildFromHistory = true;
    CBarcodeRequest::GetInstance().Ask(m_quickConfig.GetBarcodeType(), m_quickConfig.IsPrintAtOnce(),
                                       BarcodeEntrySource());
    PostShowSetting(FindBarcodeSetting());
}

// Which settings the barcodes carry: the pending changes, the one selected in the
// list, or every setting as chosen now (to copy this configuration to other scanners).
std::function<std::vector<SHistoryEntry>()> CUndoDlg::BarcodeEntrySource() const
{
    switch (m_quickConfig.settings) {
    case SQuickConfig::SETTINGS_SELECTED: {
        CCmdNameXmlInfo* selected = m_list->GetSelectedEntry();
        return [selected] {
            return selected && CPendingChangeList::GetInstance().IsListed(selected)
                       ? std::vector<SHistoryEntry>{HistoryEntryOf(*selected)}
                       : std::vector<SHistoryEntry>();
        };
    }
    case SQuickConfig::SETTINGS_CLONE:
        return AllSavedSettingEntries;
    default:
        return PendingChangeEntries;
    }
}

void CUndoDlg::UndoEntry(CCmdNameXmlInfo* entry)
{
    m_list->HideUndoButton();
    if (ScannerHasChange(*entry)) {
        UndoOnScanner(entry);
        return;
    }
    CPendingChangeList::GetInstance().RemoveChange(entry);
    ShowDeviceValue(*entry);
    if (m_onUndo)
        m_onUndo(entry);
    m_list->SyncWithChanges();
    // The scanner may have taken the change at once while the other mode was chosen:
    // its value goes back all the same, and nothing waits for the answer.
    if (CHBDataStreamMnt::GetInstance().IsOpen())
        QueueRestore(*entry, nullptr);
}

void CUndoDlg::UndoAll()
{
    // A copy: a refreshed control may report its value and so change the list.
    const std::vector<CCmdNameXmlInfo*> entries = CPendingChangeList::GetInstance().GetEntries();
    for (CCmdNameXmlInfo* entry : entries) {
        if (ScannerHasChange(*entry)) {
            UndoOnScanner(entry);
            continue;
        }
        ShowDeviceValue(*entry);
        if (CHBDataStreamMnt::GetInstance().IsOpen())
            QueueRestore(*entry, nullptr);
    }
    m_list->SyncWithChanges();
}

bool CUndoDlg::ScannerHasChange(const CCmdNameXmlInfo& entry)
{
    return CSaveCfg::GetInstance().IsOnline() && CPendingChangeList::GetInstance().GetSendAtOnce() == 1 &&
           !CPendingChangeList::IsLinkCommand(entry.CommandName);
}

void CUndoDlg::UndoOnScanner(CCmdNameXmlInfo* entry)
{
    const wxString name = entry->CommandName;
    QueueRestore(*entry, [this, entry, name](bool restored) {
        // The page may have been rebuilt meanwhile: only a change still listed is touched.
        if (!CPendingChangeList::GetInstance().IsListed(entry))
            return;
        if (!restored) {
            ReportRefusedRestore(name);
            return;
        }
        ShowDeviceValue(*entry);
        CPendingChangeList::GetInstance().RemoveChange(entry);
        if (m_onUndo)
            m_onUndo(entry);
        m_list->SyncWithChanges();
    });
}

void CUndoDlg::ReportRefusedRestore(const wxString& commandName)
{
    ShowMessage(wxString::Format(GetUiText("ID_UNDO_REFUSED", "设备没有恢复 %s 的原值；该修改仍保留在列表中。"), commandName),
                wxOK | wxICON_WARNING);
}

bool CUndoDlg::CheckBeforeLeave(bool mainWindowOnline)
{
    if (!mainWindowOnline || CPendingChangeList::GetInstance().GetEntries().empty())
        return false;
    const int answer = ShowMessage(GetUiText("ID_ERROR_EXIT", "设备参数改变，需要保存到设备吗？"),
                                   wxYES_NO | wxCANCEL | wxICON_QUESTION);
    if (answer == wxYES) {
        // A write that failed keeps the user here with the changes still listed,
        // rather than dropping them on the way out.
        if (CWaitDlg::RunWork([] { return CSaveCfg::GetInstance().ApplyChanges(); }))
            return false;
        ShowMessage(GetUiText("ID_SAVE_ERROR", "保存失败 \r\n"), wxOK | wxICON_ERROR);
        return true;
    }
    if (answer == wxNO) {
        UndoAll();
        return false;
    }
    // Cancel, or a box closed without an answer: the changes must not be lost.
    return true;
}

void CUndoDlg::ShowDeviceValue(CCmdNameXmlInfo& entry)
{
    entry.Value = entry.DeviceValue;
    // Otherwise the display text would still describe the undone choice.
    entry.ValueText = entry.GetValueLabel(entry.DeviceValue);
    if (entry.Control && GetControlFactory())
        GetControlFactory()->RefreshControl(entry.Control, 0);
}

void CUndoDlg::QueueRestore(const CCmdNameXmlInfo& entry, std::function<void(bool)> ended)
{
    const wxString name = entry.CommandName;
    const wxString value = entry.DeviceValue;
    m_jobs.Queue(
        LineUsers::kExchange,
        [name, value](CLineJob&) {
            wxString answer;
            return CSaveCfg::SendSetting(name, value, answer);
        },
        std::move(ended));
}

CCmdNameXmlInfo* CUndoDlg::FindBarcodeSetting()
{
    CCmdNameXmlInfo* found = nullptr;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&found](CCmdNameXmlInfo& definition) {
        if (!found && definition.ControlType == "CREATEBARCODE")
            found = &definition;
    });
    return found;
}

void CUndoDlg::PostShowSetting(CCmdNameXmlInfo* definition)
{
    if (!definition || !GetParent())
        return;
    auto* request = new wxCommandEvent(EVT_VOSTREL_SHOW_SETTING);
    request->SetEventObject(this);
    request->SetClientData(definition);
    wxQueueEvent(GetParent(), request);
}
