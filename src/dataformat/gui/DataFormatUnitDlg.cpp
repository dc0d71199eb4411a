#include "DataFormatUnitDlg.h"
#include "UI/gui/Accessible.h"

#include "DataFormatterDlg.h"
#include "RuleBytes.h"
#include "app/UiText.h"
#include "dataformat/RuleCodec.h"

#include <wx/sizer.h>
#include <wx/valtext.h>

namespace {

constexpr int kAnyLength = 9999;
constexpr long kHeaderLength = 12;

}  // namespace

// Wide enough for "Data Format 15" and four digits in the page's font.
const int CDataFormatUnitDlg::kColumns[4] = {165, 170, 64, 330};

CDataFormatUnitDlg::CDataFormatUnitDlg(wxWindow* parent, const std::vector<int>& numbers,
                                       const std::vector<SSymbologyChoice>& symbologies, long limit,
                                       ChangeHandler onChange)
    : wxPanel(parent, wxID_ANY), m_symbologies(symbologies), m_limit(limit), m_onChange(std::move(onChange))
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_type = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxSize(kColumns[0], -1));
    for (int number : numbers)
        m_type->Append(wxString::Format("Data Format %d", number), reinterpret_cast<void*>(static_cast<intptr_t>(number)));
    m_symbology = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxSize(kColumns[1], -1));
    for (size_t i = 0; i < symbologies.size(); ++i)
        m_symbology->Append(symbologies[i].name, reinterpret_cast<void*>(static_cast<intptr_t>(i)));
    m_lengthBox = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(kColumns[2], -1),
                                 wxTE_PROCESS_ENTER, wxTextValidator(wxFILTER_DIGITS));
    m_lengthBox->SetMaxLength(4);
    m_terminal = new wxChoice(this, wxID_ANY);
    m_terminal->Append(GetUiText("ID_DATAFORMAT_ANY_TERMINAL", "Any Terminal"));  // as wide as its words
    m_terminal->SetSelection(0);
    m_ruleBox = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(112, -1),
                               wxTE_PROCESS_ENTER);
    m_editor = new wxButton(this, wxID_ANY, GetUiText("ID_DATAFORMAT_DATA_FORMAT_EDITOR", "编辑..."), wxDefaultPosition,
                            wxDefaultSize, wxBU_EXACTFIT);
    // Room for the "(W)" a caption without Latin letters gets as its shortcut.
    m_editor->SetMinSize(wxSize(m_editor->GetBestSize().x + m_editor->GetTextExtent("(W)").x + 4, -1));
    for (wxWindow* window : std::initializer_list<wxWindow*>{m_type, m_symbology, m_lengthBox, m_terminal, m_ruleBox})
        row->Add(window, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 4);
    row->Add(m_editor, 0, wxALIGN_CENTER_VERTICAL);
    // The column heads are drawn above the rows, in a window of their own.
    SetAccessibleName(m_type, GetUiText("ID_DATAFORMAT_DATA_FORMAT_TYPE", "类型"));
    SetAccessibleName(m_symbology, GetUiText("ID_DATAFORMAT_DATA_FORMAT_SYMBOLOGY", "条码类型"));
    SetAccessibleName(m_lengthBox, GetUiText("ID_DATAFORMAT_DATA_FORMAT_LENGTH", "长度"));
    SetAccessibleName(m_ruleBox, GetUiText("ID_DATAFORMAT_DATA_FORMAT_CMD_SEQ", "指令序列"));
    // Not fitted once for all: the labels get their shortcut letters after they are made.
    SetSizer(row);

    m_type->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
        m_number = static_cast<int>(reinterpret_cast<intptr_t>(m_type->GetClientData(m_type->GetSelection())));
        Changed();
    });
    m_symbology->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Changed(); });
    m_lengthBox->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { CommitLength(); });
    m_lengthBox->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        event.Skip();
        CommitLength();
    });
    m_ruleBox->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { CommitRules(m_ruleBox->GetValue()); });
    m_ruleBox->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        event.Skip();
        CommitRules(m_ruleBox->GetValue());
    });
    m_editor->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OpenEditor(); });
    Clear();
    SetNumber(numbers.empty() ? 0 : numbers.front());
}

void CDataFormatUnitDlg::SetNumber(int number)
{
    m_number = number;
    for (unsigned i = 0; i < m_type->GetCount(); ++i) {
        if (reinterpret_cast<intptr_t>(m_type->GetClientData(i)) == number) {
            m_type->SetSelection(static_cast<int>(i));
            return;
        }
    }
    // A list-form row offers only its own number, which its text may change.
    m_type->Clear();
    m_type->Append(wxString::Format("Data Format %d", number), reinterpret_cast<void*>(static_cast<intptr_t>(number)));
    m_type->SetSelection(0);
}

void CDataFormatUnitDlg::Clear()
{
    m_length = kAnyLength;
    m_lengthBox->ChangeValue(wxString::Format("%d", m_length));
    ForgetKeptSymbology();
    m_symbology->SetSelection(m_symbologies.empty() ? wxNOT_FOUND : 0);
    m_rules.clear();
    m_previousRules.clear();
    m_ruleBox->ChangeValue(wxString());
}

bool CDataFormatUnitDlg::Load(const std::string& text, bool numbered)
{
    SDataFormatUnit unit;
    if (!ParseUnitText(text, numbered, unit))
        return false;
    if (numbered)
        SetNumber(unit.number);
    m_length = unit.length;
    m_lengthBox->ChangeValue(wxString::Format("%d", m_length));
    SelectSymbology(unit.symbology);
    m_rules = m_previousRules = Wide(unit.rules);
    m_ruleBox->ChangeValue(m_rules);
    return true;
}

// A code that the list does not have is kept as it is: widening it to every
// symbology would change what the scanner formats.
void CDataFormatUnitDlg::SelectSymbology(const std::string& code)
{
    ForgetKeptSymbology();
    for (size_t i = 0; i < m_symbologies.size(); ++i) {
        if (IsSymbologyCode(code, Narrow(m_symbologies[i].value))) {
            m_symbology->SetSelection(static_cast<int>(i));
            return;
        }
    }
    m_keptSymbology = code;
    m_symbology->Append(wxString::Format(GetUiText("ID_DATAFORMAT_UNKNOWN_SYMBOLOGY", "未知 (%s)"), Wide(code)));
    m_symbology->SetSelection(static_cast<int>(m_symbologies.size()));
}

void CDataFormatUnitDlg::ForgetKeptSymbology()
{
    if (m_symbology->GetCount() > m_symbologies.size())
        m_symbology->Delete(static_cast<unsigned>(m_symbologies.size()));
    m_keptSymbology.clear();
}

SDataFormatUnit CDataFormatUnitDlg::GetUnit() const
{
    SDataFormatUnit unit;
    unit.number = m_number;
    const int selected = m_symbology->GetSelection();
    if (selected == wxNOT_FOUND)
        unit.symbology = "999";
    else if (static_cast<size_t>(selected) >= m_symbologies.size())
        unit.symbology = m_keptSymbology;
    else
        unit.symbology = Narrow(m_symbologies[selected].value);
    unit.length = m_length;
    unit.rules = Narrow(m_rules);
    return unit;
}

void CDataFormatUnitDlg::CommitLength()
{
    long length = 0;
    const wxString text = m_lengthBox->GetValue();
    if (text.empty() || !text.ToLong(&length) || length < 0 || length > kAnyLength) {
        m_lengthBox->ChangeValue(wxString::Format("%d", m_length));
        return;
    }
    if (length == m_length)
        return;
    m_length = static_cast<int>(length);
    Changed();
}

bool CDataFormatUnitDlg::CommitRules(const wxString& text)
{
    if (m_checking || text == m_rules)
        return false;
    // The question takes the focus from the box; that must not check the text again.
    m_checking = true;
    std::vector<std::string> rules;
    bool taken = false;
    if (!SplitRules(Narrow(text), rules)) {
        if (ShowMessage(CDataFormatterDlg::DescribeFault(text) + "\r\n" +
                            GetUiText("ID_DATAFORMAT_ERROR_INVALID_RULE_YESNO", "规则错误"),
                        wxYES_NO | wxICON_QUESTION) == wxYES)
            m_ruleBox->ChangeValue(m_rules);
    } else if (m_limit > kHeaderLength && static_cast<long>(text.length()) > m_limit - kHeaderLength) {
        ShowMessage(wxString::Format("%s%ld", GetUiText("ID_DATAFORMAT_ERROR_LEN_LIMIT", "超出长度限制:"),
                                     m_limit - kHeaderLength),
                    wxOK | wxICON_WARNING);
        m_ruleBox->ChangeValue(m_rules);
    } else {
        m_previousRules = m_rules;
        m_rules = text;
        m_ruleBox->ChangeValue(m_rules);
        taken = true;
    }
    m_checking = false;
    if (taken)
        Changed();
    return taken;
}

std::vector<wxString> CDataFormatUnitDlg::PreviewSymbologies() const
{
    // "All Symbologies" is no symbology a read can have.
    std::vector<wxString> names;
    for (size_t i = 1; i < m_symbologies.size(); ++i)
        names.push_back(m_symbologies[i].name);
    return names;
}

void CDataFormatUnitDlg::OpenEditor()
{
    const long limit = m_limit > kHeaderLength ? m_limit - kHeaderLength : 0;
    CDataFormatterDlg editor(wxGetTopLevelParent(this), m_rules, limit, PreviewSymbologies());
    if (editor.ShowModal() == wxID_OK)
        CommitRules(editor.GetRuleText());
}

void CDataFormatUnitDlg::Changed()
{
    if (m_onChange)
        m_onChange(this);
}
