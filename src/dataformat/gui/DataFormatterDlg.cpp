#include "DataFormatterDlg.h"
#include "UI/gui/Accessible.h"

#include "AsciiPadCtrl.h"
#include "RuleBytes.h"
#include "app/UiText.h"
#include "dataformat/KeyStrokes.h"
#include "dataformat/RuleCodec.h"
#include "dataformat/RulePreview.h"
#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/KeyBoardCtrl.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/valtext.h>

namespace {

wxString RuleName(const SRuleDefinition& definition)
{
    return GetUiText(definition.name.id, definition.name.text);
}

// Fields that hold a count or a number take digits only, as many as the rule writes.
bool IsNumberField(const SRuleDefinition& definition, size_t field)
{
    switch (definition.kind) {
    case ERuleKind::Number:
        return true;
    case ERuleKind::CountChar:
    case ERuleKind::ReplaceString:
        return field == 0;
    case ERuleKind::CharCount:
        return field == 1;
    default:
        return false;
    }
}

class CRuleKindItem : public wxTreeItemData {
public:
    explicit CRuleKindItem(const SRuleDefinition* definition) : m_definition(definition) {}
    const SRuleDefinition* Definition() const { return m_definition; }

private:
    const SRuleDefinition* m_definition;
};

}  // namespace

namespace {
constexpr int kListHeight = 260;
constexpr int kListHeightWithPad = 150;
}  // namespace

CDataFormatterDlg::CDataFormatterDlg(wxWindow* parent, const wxString& ruleText, long limit,
                                         const Symbologies& symbologies)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_DATAFORMAT_DATA_FORMAT_CAPTION", "数据格式编辑"), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_limit(limit)
{
    OpenHelpOnF1(this);
    CreateControls(symbologies);
    if (!SplitRules(Narrow(ruleText), m_rules)) {
        m_openedUnreadable = true;
        ShowMessage(GetUiText("ID_DATAFORMAT_ERROR_INVALID_RULE", "指令错误!") + "\r\n" + DescribeFault(ruleText),
                    wxOK | wxICON_ERROR);
    }
    RefreshRuleList();
    ShowKind(nullptr);
    SetEditMode(false);
    CHarbrekBaseDlg::ApplyFontToTree(this, CHarbrekBaseDlg::GetSharedFont());
    Fit();
    Centre();
}

wxString CDataFormatterDlg::DescribeFault(const wxString& ruleText)
{
    const std::string text = Narrow(ruleText);
    std::vector<std::string> rules;
    SRuleFault fault;
    if (SplitRules(text, rules, fault))
        return wxString();
    const wxString rule = Wide(text.substr(fault.ruleStart, 24));
    const int number = static_cast<int>(fault.rule + 1);
    if (fault.position >= text.size())
        return wxString::Format(GetUiText("ID_DATAFORMAT_ERROR_RULE_CUT", "第 %d 条规则（%s）不完整。"), number, rule);
    return wxString::Format(GetUiText("ID_DATAFORMAT_ERROR_RULE_CHAR", "第 %d 条规则（%s）：第 %d 个字符“%s”不合规则。"),
                            number, rule, static_cast<int>(fault.position + 1), Wide(text.substr(fault.position, 1)));
}

void CDataFormatterDlg::Finish()
{
    // The unit's text stays as it was unless the user wants the list's rules instead.
    if (m_openedUnreadable &&
        ShowMessage(GetUiText("ID_DATAFORMAT_ERROR_FINISH_INVALID",
                              "载入的规则无法读取，未列入列表。完成会用列表中的规则替换它们。是否替换？"),
                    wxYES_NO | wxICON_QUESTION) != wxYES)
        return;
    if (IsModal())
        EndModal(wxID_OK);
    else
        SetReturnCode(wxID_OK);
}

void CDataFormatterDlg::CreateControls(const Symbologies& symbologies)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* upper = new wxBoxSizer(wxHORIZONTAL);
    upper->Add(CreateMenuAndFields(), 1, wxEXPAND | wxALL, 6);
    upper->Add(CreateRuleList(), 1, wxEXPAND | wxALL, 6);
    top->Add(upper, 1, wxEXPAND);
    top->Add(CreatePreview(symbologies), 0, wxEXPAND | wxLEFT | wxRIGHT, 6);

    // The ASCII pad is made when first asked for: its 128 buttons would make every
    // opening of the editor slow.
    m_asciiPadRow = new wxBoxSizer(wxVERTICAL);
    m_keyPad = new CKeyBoardCtrl(this, [this](const SKeyRecord& key, const wxString& code) { OnKeyPadKey(key, code); });
    m_keyPad->LoadLayouts();
    top->Add(m_asciiPadRow, 0, wxALL, 6);
    top->Add(m_keyPad, 0, wxALL, 6);
    m_keyPad->Hide();

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* finish = new wxButton(this, wxID_OK, GetUiText("ID_DATAFORMAT_DATA_FORMAT_FINISH", "完成"));
    finish->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(); });
    finish->SetDefault();
    buttons->AddStretchSpacer();
    buttons->Add(finish, 0, wxALL, 4);
    buttons->Add(new wxButton(this, wxID_CANCEL, GetUiLabel("IDCANCEL", "取消(&C)")), 0, wxALL, 4);
    top->Add(buttons, 0, wxEXPAND | wxALL, 4);
    SetSizer(top);
}

wxSizer* CDataFormatterDlg::CreateMenuAndFields()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_menu = new wxTreeCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(300, kListHeight),
                            wxTR_DEFAULT_STYLE | wxTR_HIDE_ROOT | wxTR_SINGLE);
    SetAccessibleName(m_menu, GetUiText("ID_NAME_RULE_KINDS", "Kinds of rule"), EAccessibleRole::Tree);
    FillMenu();
    m_menu->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& event) {
        const auto* item = dynamic_cast<CRuleKindItem*>(m_menu->GetItemData(event.GetItem()));
        if (!item)
            return;
        SetEditMode(false);
        ShowKind(item->Definition());
    });
    column->Add(m_menu, 1, wxEXPAND);

    auto* fields = new wxFlexGridSizer(2, 4, 6);
    fields->AddGrowableCol(1);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        m_labels[i] = new wxStaticText(this, wxID_ANY, wxEmptyString);
        m_fields[i] = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(200, -1));
        m_fields[i]->Bind(wxEVT_SET_FOCUS, [this, i](wxFocusEvent& event) {
            m_lastField = i;
            event.Skip();
        });
        fields->Add(m_labels[i], 0, wxALIGN_CENTER_VERTICAL);
        fields->Add(m_fields[i], 1, wxEXPAND);
    }
    column->Add(fields, 0, wxEXPAND | wxTOP, 6);

    auto* padRow = new wxBoxSizer(wxHORIZONTAL);
    m_addButton = new wxButton(this, wxID_ANY, wxEmptyString);
    m_addButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PressAddOrReplace(); });
    auto* ascii = new wxButton(this, wxID_ANY, GetUiText("ID_DATAFORMAT_ASCII_PAD", "ASCII 字符"));
    auto* keys = new wxButton(this, wxID_ANY, GetUiText("ID_DATAFORMAT_KEY_PAD", "键盘按键"));
    ascii->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowPad(m_asciiPad && m_asciiPad->IsShown() ? 0 : 1); });
    keys->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowPad(m_keyPad->IsShown() ? 0 : 2); });
    padRow->Add(m_addButton, 0, wxRIGHT, 8);
    padRow->Add(ascii, 0, wxRIGHT, 4);
    padRow->Add(keys, 0);
    column->Add(padRow, 0, wxTOP, 6);

    column->Add(new wxStaticText(this, wxID_ANY, GetUiText("ID_DATAFORMAT_HELP", "Rule Help:...")), 0, wxTOP, 6);
    m_help = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(-1, 70),
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_WORDWRAP);
    column->Add(m_help, 0, wxEXPAND);
    return column;
}

void CDataFormatterDlg::FillMenu()
{
    const wxTreeItemId root = m_menu->AddRoot(wxEmptyString);
    std::vector<wxTreeItemId> groups;
    for (const SRuleText& group : RuleGroups())
        groups.push_back(m_menu->AppendItem(root, GetUiText(group.id, group.text)));
    for (const SRuleDefinition& definition : RuleDefinitions()) {
        const wxTreeItemId item = m_menu->AppendItem(groups[definition.group],
                                                     RuleName(definition) + " (" + definition.code + ")", -1, -1,
                                                     new CRuleKindItem(&definition));
        m_menuItems.emplace_back(item, &definition);
    }
    m_menu->ExpandAll();
}

wxSizer* CDataFormatterDlg::CreateRuleList()
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_ruleList = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(360, kListHeight));
    SetAccessibleName(m_ruleList, GetUiText("ID_DATAFORMAT_DATA_FORMAT_CMD_SEQ", "Rules"));
    m_ruleList->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) { PickRule(event.GetSelection()); });
    column->Add(m_ruleList, 1, wxEXPAND);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_upButton = new wxButton(this, wxID_ANY, GetUiText("ID_DRIVERLICENSE_UP", "上移"));
    m_downButton = new wxButton(this, wxID_ANY, GetUiText("ID_DRIVERLICENSE_DOWN", "Down"));
    m_deleteButton = new wxButton(this, wxID_ANY, GetUiText("ID_DATAFORMAT_DELETE", "删除"));
    m_upButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { MoveRule(-1); });
    m_downButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { MoveRule(1); });
    m_deleteButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { DeleteRule(); });
    for (wxButton* button : {m_upButton, m_downButton, m_deleteButton})
        row->Add(button, 0, wxRIGHT, 4);
    column->Add(row, 0, wxTOP, 6);
    return column;
}

wxSizer* CDataFormatterDlg::CreatePreview(const Symbologies& symbologies)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, GetUiText("ID_DATAFORMAT_PREVIEW", "预览"));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(box->GetStaticBox(), wxID_ANY, GetUiText("ID_DATAFORMAT_PREVIEW_SAMPLE", "示例数据")), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    m_sample = new wxTextCtrl(box->GetStaticBox(), wxID_ANY, "0123456789012", wxDefaultPosition, wxSize(240, -1));
    row->Add(m_sample, 1, wxRIGHT, 8);
    m_symbology = new wxChoice(box->GetStaticBox(), wxID_ANY, wxDefaultPosition, wxSize(220, -1));
    for (const wxString& name : symbologies)
        m_symbology->Append(name);
    if (!symbologies.empty())
        m_symbology->SetSelection(0);
    row->Add(m_symbology, 0);
    box->Add(row, 0, wxEXPAND | wxALL, 4);
    m_preview = new wxTextCtrl(box->GetStaticBox(), wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               wxTE_READONLY);
    box->Add(m_preview, 0, wxEXPAND | wxALL, 4);
    m_sample->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdatePreview(); });
    m_symbology->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdatePreview(); });
    return box;
}

bool CDataFormatterDlg::ChooseRuleKind(const std::string& code)
{
    for (const auto& [item, definition] : m_menuItems) {
        if (definition->code == code) {
            m_menu->SelectItem(item);
            SetEditMode(false);
            ShowKind(definition);
            return true;
        }
    }
    return false;
}

void CDataFormatterDlg::ShowKind(const SRuleDefinition* definition)
{
    m_definition = definition;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const bool used = definition && i < definition->fields.size();
        m_labels[i]->SetLabel(used ? GetUiText(definition->fields[i].id, definition->fields[i].text) : wxString());
        m_fields[i]->ChangeValue(wxString());
        m_fields[i]->Show(used);
        m_labels[i]->Show(used);
        if (!used)
            continue;
        const bool number = IsNumberField(*definition, i);
        const int digits = definition->kind == ERuleKind::Number ? definition->digits : 2;
        m_fields[i]->SetMaxLength(number ? digits : 0);
        m_fields[i]->SetValidator(number ? wxTextValidator(wxFILTER_DIGITS) : wxTextValidator(wxFILTER_NONE));
    }
    m_help->ChangeValue(definition ? GetUiText(definition->helpId, "规则帮助") : wxString());
    m_lastField = 0;
    UpdateButtons();
    Layout();
}

void CDataFormatterDlg::SetEditMode(bool edit)
{
    m_editMode = edit;
    m_addButton->SetLabel(edit ? GetUiText("ID_DATAFORMAT_DATA_FORMAT_EDIT", "修改")
                               : GetUiText("ID_DATAFORMAT_DATA_FORMAT_ADD", "添加"));
    if (!edit)
        m_ruleList->SetSelection(wxNOT_FOUND);
    UpdateButtons();
}

void CDataFormatterDlg::UpdateButtons()
{
    const int selected = m_ruleList->GetSelection();
    m_addButton->Enable(m_definition != nullptr);
    m_addButton->SetToolTip(m_definition ? wxString()
                                         : GetUiText("ID_DATAFORMAT_CHOOSE_RULE", "请先在左侧选择一种规则"));
    m_upButton->Enable(selected > 0);
    m_downButton->Enable(selected != wxNOT_FOUND && selected + 1 < static_cast<int>(m_rules.size()));
    m_deleteButton->Enable(selected != wxNOT_FOUND);
}

void CDataFormatterDlg::SetFieldText(size_t field, const wxString& text)
{
    if (field < m_fields.size())
        m_fields[field]->SetValue(text);
}

size_t CDataFormatterDlg::LengthWithout(int skipped) const
{
    size_t length = 0;
    for (size_t i = 0; i < m_rules.size(); ++i) {
        if (static_cast<int>(i) != skipped)
            length += m_rules[i].size();
    }
    return length;
}

void CDataFormatterDlg::PressAddOrReplace()
{
    if (!m_definition)
        return;
    const int replaced = m_editMode ? m_ruleList->GetSelection() : wxNOT_FOUND;
    if (m_limit > 0 && LengthWithout(replaced) > static_cast<size_t>(m_limit)) {
        ShowMessage(wxString::Format("%s%d", GetUiText("ID_DATAFORMAT_ERROR_LEN_LIMIT", "超出长度限制:"),
                                     static_cast<int>(m_limit)),
                    wxOK | wxICON_WARNING);
        return;
    }
    std::vector<std::string> fields;
    for (size_t i = 0; i < m_definition->fields.size(); ++i)
        fields.push_back(Narrow(m_fields[i]->GetValue()));
    const SEncodedRule encoded = EncodeRule(*m_definition, fields, CurrentNames());
    if (encoded.status == EEncodeStatus::EmptyField) {
        const SRuleText& label = m_definition->fields[encoded.emptyField];
        ShowMessage(GetUiText(label.id, label.text) + GetUiText("ID_DATAFORMAT_ERROR_EMPTY", "不能为空!"),
                    wxOK | wxICON_WARNING);
        return;
    }
    if (encoded.status != EEncodeStatus::Ok)
        return;
    if (replaced != wxNOT_FOUND)
        m_rules[replaced] = encoded.rule;
    else
        m_rules.push_back(encoded.rule);
    RefreshRuleList();
    if (replaced != wxNOT_FOUND)
        m_ruleList->SetSelection(replaced);
    UpdateButtons();
}

void CDataFormatterDlg::PickRule(int index)
{
    if (index < 0 || index >= static_cast<int>(m_rules.size()))
        return;
    m_ruleList->SetSelection(index);
    const std::string& rule = m_rules[index];
    const SRuleDefinition* definition = FindRuleDefinition(rule.substr(0, 2));
    ShowKind(definition);
    SetEditMode(true);
    m_ruleList->SetSelection(index);
    std::vector<std::string> fields;
    if (definition && ParseRuleFields(rule, CurrentNames(), fields)) {
        for (size_t i = 0; i < fields.size() && i < m_fields.size(); ++i)
            m_fields[i]->ChangeValue(Wide(fields[i]));
    }
    UpdateButtons();
}

void CDataFormatterDlg::MoveRule(int step)
{
    const int from = m_ruleList->GetSelection();
    const int to = from + step;
    if (from == wxNOT_FOUND || to < 0 || to >= static_cast<int>(m_rules.size()))
        return;
    std::swap(m_rules[from], m_rules[to]);
    RefreshRuleList();
    PickRule(to);
}

void CDataFormatterDlg::DeleteRule()
{
    const int selected = m_ruleList->GetSelection();
    if (selected == wxNOT_FOUND)
        return;
    m_rules.erase(m_rules.begin() + selected);
    RefreshRuleList();
    SetEditMode(false);
}

void CDataFormatterDlg::RefreshRuleList()
{
    m_ruleList->Clear();
    for (const std::string& rule : m_rules) {
        const SRuleDefinition* definition = FindRuleDefinition(rule.substr(0, 2));
        m_ruleList->Append(Wide(rule) + "    " + (definition ? RuleName(*definition) : wxString()));
    }
    UpdatePreview();
    UpdateButtons();
}

wxString CDataFormatterDlg::GetRuleText() const
{
    std::string text;
    for (const std::string& rule : m_rules)
        text += rule;
    return Wide(text);
}

void CDataFormatterDlg::SetSample(const wxString& data, int symbology)
{
    m_symbology->SetSelection(symbology);
    m_sample->SetValue(data);
    UpdatePreview();
}

void CDataFormatterDlg::UpdatePreview()
{
    if (!m_preview)
        return;
    const wxString symbology = m_symbology->GetSelection() == wxNOT_FOUND ? wxString() : m_symbology->GetStringSelection();
    const SPreviewResult result = RunRules(Narrow(GetRuleText()), {Narrow(m_sample->GetValue()), Narrow(symbology)});
    if (result.ok) {
        m_preview->ChangeValue(Wide(result.shown));
        return;
    }
    m_preview->ChangeValue(wxString::Format("%s %d: %s", GetUiText("ID_DATAFORMAT_PREVIEW_FAILED", "格式不适用，原样发送，规则"),
                                            static_cast<int>(result.failedRule) + 1, Wide(result.reason)));
}

wxString CDataFormatterDlg::GetPreviewText() const
{
    return m_preview->GetValue();
}

void CDataFormatterDlg::ShowPad(int pad)
{
    const bool asciiBefore = IsAsciiPadShown();
    const CSpecialChars namesBefore = CurrentNames();
    if (pad == 1 && !m_asciiPad) {
        m_asciiPad = new CAsciiPadCtrl(this, [this](const wxString& text) { InsertIntoField(text); });
        CHarbrekBaseDlg::ApplyFontToTree(m_asciiPad, CHarbrekBaseDlg::GetSharedFont());
        m_asciiPadRow->Add(m_asciiPad);
    }
    if (m_asciiPad)
        m_asciiPad->Show(pad == 1);
    m_keyPad->Show(pad == 2);
    // An open pad takes room from the two lists, so the editor still fits a
    // 1366 x 768 screen; they scroll.
    const int listHeight = pad == 0 ? kListHeight : kListHeightWithPad;
    m_menu->SetMinSize(wxSize(m_menu->GetMinSize().GetWidth(), listHeight));
    m_ruleList->SetMinSize(wxSize(m_ruleList->GetMinSize().GetWidth(), listHeight));
    SetMinSize(wxDefaultSize);
    Fit();
    Layout();
    if (IsAsciiPadShown() != asciiBefore)
        RenameFieldTexts(namesBefore, CurrentNames());
}

bool CDataFormatterDlg::IsAsciiPadShown() const
{
    return m_asciiPad && m_asciiPad->IsShown();
}

CSpecialChars CDataFormatterDlg::CurrentNames() const
{
    // The key pad's names stand for its key codes ("[Enter]" is 0x28), the ASCII
    // pad's for characters; a field is read in the names of the pad the user sees.
    if (IsAsciiPadShown() || !m_keyPad)
        return CSpecialChars::AsciiPad();
    return m_keyPad->KeyNames();
}

void CDataFormatterDlg::RenameFieldTexts(const CSpecialChars& before, const CSpecialChars& after)
{
    if (!m_definition || m_definition->kind == ERuleKind::Keys)
        return;
    for (size_t i = 0; i < m_definition->fields.size() && i < m_fields.size(); ++i) {
        if (IsNumberField(*m_definition, i))
            continue;
        const std::string text = Narrow(m_fields[i]->GetValue());
        m_fields[i]->ChangeValue(Wide(HexAsText(TextToHex(text, before), after)));
    }
}

void CDataFormatterDlg::InsertIntoField(const wxString& text)
{
    if (!m_definition || m_lastField >= m_definition->fields.size())
        return;
    wxTextCtrl* field = m_fields[m_lastField];
    field->WriteText(text);
    // GTK selects a whole entry that takes the focus; the next key from a pad would
    // then replace what this one typed.
    const long caret = field->GetInsertionPoint();
    field->SetFocus();
    field->SetInsertionPoint(caret);
}

void CDataFormatterDlg::OnKeyPadKey(const SKeyRecord& key, const wxString& code)
{
    // A key-stroke field takes the key's code (modifier and key); a character field
    // the printable character the key types, and any other key by the pad's own name.
    if (m_definition && m_definition->kind == ERuleKind::Keys) {
        InsertIntoField(code);
        return;
    }
    unsigned long modifiers = 0;
    code.Left(2).ToULong(&modifiers, 16);
    const std::string typed = KeyStrokeText(static_cast<uint8_t>(modifiers), static_cast<uint8_t>(key.keyValue & 0xFFu));
    if (typed.size() == 1 && typed[0] > 0x20 && typed[0] < 0x7F)
        InsertIntoField(Wide(typed));
    else if (!key.bottomText.empty())
        InsertIntoField("[" + key.bottomText + "]");
}

wxWindow* CDataFormatterDlg::GetAsciiPad() const
{
    return m_asciiPad;
}
