#include "CommandCenterDlg.h"
#include "UI/gui/Accessible.h"

#include "app/AppContext.h"
#include "app/UiText.h"
#include "cmdcenter/CommandHistory.h"
#include "cmdcenter/LineTerminal.h"
#include "cmdcenter/TerminalText.h"
#include "config/gui/FileChooser.h"

#include <wx/sizer.h>
#include <wx/wrapsizer.h>

namespace {

wxDEFINE_EVENT(EVT_TERMINAL_OUTPUT, wxThreadEvent);

const char kSaveFilter[] = "txt (*.txt)|*.txt";

struct SCheckText {
    int id;
    const char* textId;
    const char* fallback;
};

const SCheckText kCheckTexts[] = {
    {CCommandCenterDlg::ID_SHOW_TAGS, "ID_COMMAND_DLG_SHOW_REQUEST", "Show Request/Response Tags"},
    {CCommandCenterDlg::ID_HEX_SEND, "ID_COMMAND_DLG_HEX_SEND", "16进制发送"},
    {CCommandCenterDlg::ID_HEX_DISPLAY, "ID_COMMAND_DLG_HEX_DISPLAY", "16进制"},
    {CCommandCenterDlg::ID_DATA_PACKING, "ID_COMMAND_DLG_DATA_PACKING", "数据打包"},
    {CCommandCenterDlg::ID_PACK_COMMAND, "IDPACKED", "数据打包"},
    {CCommandCenterDlg::ID_EXPAND, "ID_COMMAND_DLG_EXPAND", "Expand Control Characters"},
};

// The pane is a GTK text view: one "\n" per line break, whatever the scanner sent.
wxString PaneText(const wxString& text)
{
    wxString shown = text;
    shown.Replace("\r\n", "\n");
    return shown;
}

wxString NoAnswerLine()
{
    return "(" + GetUiText("ID_COMMAND_DLG_NO_ANSWER", "没有应答：请检查端口和波特率") + ")\r\n";
}

}  // namespace

CCommandCenterDlg::CCommandCenterDlg(wxWindow* parent, std::unique_ptr<ITerminalLink> link)
    : CHarbrekBaseDlg(parent),
      m_link(link ? std::move(link) : std::make_unique<CDeviceTerminalLink>()),
      m_session(std::make_unique<CCommandCenterSession>(*m_link,
                                                        [this](const STerminalOutput& output) { AcceptOutput(output); }))
{
    CreateControls();
    BindOptions();
    ApplySharedFont();
    ApplyUiTexts();
    LoadHistory();
    LoadSymbologies();
    EnableSending(false);
    Bind(EVT_TERMINAL_OUTPUT, [this](wxThreadEvent&) { ShowPendingOutput(); });
    m_session->Start();
}

CCommandCenterDlg::~CCommandCenterDlg()
{
    // The worker hands its lines to this window; it ends before the window does.
    m_session->Stop();
    SaveHistory();
}

void CCommandCenterDlg::CreateControls()
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* inputRow = new wxBoxSizer(wxHORIZONTAL);
    m_lblCommand = new wxStaticText(this, ID_LABEL_CMD, wxEmptyString);
    m_input = new wxComboBox(this, ID_INPUT, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                             wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
    m_btnSend = new wxButton(this, ID_SEND, wxEmptyString);
    inputRow->Add(m_lblCommand, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    inputRow->Add(m_input, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    inputRow->Add(m_btnSend, 0, wxALIGN_CENTER_VERTICAL);
    m_btnClear = new wxButton(this, ID_CLEAR, wxEmptyString);
    m_btnSave = new wxButton(this, ID_SAVE, wxEmptyString);
    inputRow->Add(m_btnClear, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    inputRow->Add(m_btnSave, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    top->Add(inputRow, 0, wxEXPAND | wxALL, 6);

    auto* optionRow = new wxWrapSizer(wxHORIZONTAL);
    m_chkTags = AddCheckBox(optionRow, ID_SHOW_TAGS, true);
    m_chkHexSend = AddCheckBox(optionRow, ID_HEX_SEND, false);
    m_chkHexDisplay = AddCheckBox(optionRow, ID_HEX_DISPLAY, false);
    m_chkDataPacking = AddCheckBox(optionRow, ID_DATA_PACKING, false);
    m_chkPackCommand = AddCheckBox(optionRow, ID_PACK_COMMAND, true);
    m_chkExpand = AddCheckBox(optionRow, ID_EXPAND, false);
    top->Add(optionRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);

    m_pane = new wxTextCtrl(this, ID_PANE, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_DONTWRAP);
    SetAccessibleName(m_pane, GetUiText("ID_NAME_TERMINAL", "Terminal output"));
    top->Add(m_pane, 1, wxEXPAND | wxALL, 6);
    SetSizer(top);

    m_btnSend->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SendInput(); });
    m_input->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { SendInput(); });
    m_btnClear->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Clear(); });
    m_btnSave->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSaveClicked(); });
    m_pane->Bind(wxEVT_KEY_DOWN, &CCommandCenterDlg::OnPaneKeyDown, this);
    m_pane->Bind(wxEVT_CHAR, &CCommandCenterDlg::OnPaneChar, this);
}

wxCheckBox* CCommandCenterDlg::AddCheckBox(wxSizer* row, int id, bool checked)
{
    auto* box = new wxCheckBox(this, id, wxEmptyString);
    box->SetValue(checked);
    row->Add(box, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
    return box;
}

// The worker reads the options at every step; the boxes only store them.
void CCommandCenterDlg::BindOptions()
{
    STerminalOptions& options = m_session->Options();
    const std::pair<wxCheckBox*, std::atomic<bool>*> pairs[] = {
        {m_chkTags, &options.tags},           {m_chkHexSend, &options.hexSend},
        {m_chkHexDisplay, &options.hexDisplay}, {m_chkDataPacking, &options.packedData},
        {m_chkPackCommand, &options.packCommand}, {m_chkExpand, &options.expand}};
    for (const auto& [box, flag] : pairs) {
        *flag = box->GetValue();
        box->Bind(wxEVT_CHECKBOX, [box = box, flag = flag](wxCommandEvent&) { *flag = box->GetValue(); });
    }
    m_chkHexSend->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        event.Skip();
        OnHexSendChanged();
    });
}

void CCommandCenterDlg::ApplyUiTexts()
{
    m_lblCommand->SetLabel(GetUiText("ID_COMMAND_DLG_CMD", "命令"));
    m_btnSend->SetLabel(GetUiText("ID_COMMAND_DLG_CMD_SEND", "发送"));
    m_btnClear->SetLabel(GetUiText("ID_COMMAND_DLG_CLEAR", "清空"));
    m_btnSave->SetLabel(GetUiText("ID_COMMAND_DLG_SAVE", "保存"));
    for (const SCheckText& check : kCheckTexts) {
        if (wxWindow* box = FindWindow(check.id))
            box->SetLabel(GetUiText(check.textId, check.fallback));
    }
    Layout();
}

void CCommandCenterDlg::LoadHistory()
{
    for (const wxString& command : CCommandHistory::Load(CCommandHistory::DefaultPath()))
        m_input->Append(command);
}

void CCommandCenterDlg::SaveHistory()
{
    CCommandHistory::Save(CCommandHistory::DefaultPath(), m_input->GetStrings());
}

void CCommandCenterDlg::LoadSymbologies()
{
    CSymbologiesXmlInfo symbologies;
    symbologies.Load(CAppContext::GetInstance().GetFilePath("Config", "Symbologies.xml"), "CommandCenterDlg.cpp");
    m_session->SetSymbologies(symbologies);
}

void CCommandCenterDlg::EnableSending(bool enable)
{
    for (wxButton* button : {m_btnSend, m_btnClear, m_btnSave})
        button->Enable(enable);
}

void CCommandCenterDlg::RefreshLinkState()
{
    if (!m_link->IsOpen()) {
        StopReading();
        return;
    }
    m_session->StartReadingAfresh();
    EnableSending(true);
}

void CCommandCenterDlg::StopReading()
{
    m_session->PauseReader();
    EnableSending(false);
}

void CCommandCenterDlg::SendInput()
{
    if (!m_link->IsOpen()) {
        StopReading();
        return;
    }
    const wxString command = m_input->GetValue();
    if (m_chkHexSend->GetValue() && !RefuseInvalidHex(command))
        return;
    if (!command.empty()) {
        m_session->QueueCommand(command);
        if (m_input->FindString(command, true) == wxNOT_FOUND)
            m_input->Append(command);
        m_input->SetValue(wxEmptyString);
    }
    m_input->SetFocus();
}

bool CCommandCenterDlg::RefuseInvalidHex(const wxString& command)
{
    // Such digits would be dropped on the way out; the scanner would get less than
    // was typed, or an empty frame, without the user knowing why.
    const wxString invalid = InvalidHexDigits(command);
    if (invalid.empty())
        return true;
    ShowMessage(GetUiText("ID_COMMAND_DLG_HEX_INVALID", "以下字符不是十六进制数字:") + " " + invalid,
                wxOK | wxICON_WARNING);
    m_input->SetFocus();
    return false;
}

void CCommandCenterDlg::Clear()
{
    m_transcript.Clear();
    m_pane->Clear();
    m_lineStart = 0;
}

bool CCommandCenterDlg::SaveTranscript(const wxString& path) const
{
    return m_transcript.SaveToFile(path);
}

void CCommandCenterDlg::OnSaveClicked()
{
    SFileQuestion question;
    question.save = true;
    question.filter = kSaveFilter;
    question.extension = "txt";
    question.defaultName = ProposedNameForModel("txt");
    const wxString path = ChooseFile(this, question);
    if (path.empty())
        return;
    if (!SaveTranscript(path))
        ShowMessage(GetUiText("ID_COMMAND_DLG_SAVE_ERROR", "无法写入文件:") + " " + path,
                    wxOK | wxICON_ERROR);
}

void CCommandCenterDlg::OnHexSendChanged()
{
    const wxString text = m_input->GetValue();
    m_input->SetValue(m_chkHexSend->GetValue() ? HexOfCharacters(text) : CharactersOfHex(text, true));
}

void CCommandCenterDlg::AcceptOutput(const STerminalOutput& output)
{
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(m_outputMutex);
        first = m_output.empty();
        m_output.push_back(output);
    }
    // One event carries everything that arrives until the window gets to it.
    if (first)
        QueueEvent(new wxThreadEvent(EVT_TERMINAL_OUTPUT));
}

void CCommandCenterDlg::ShowPendingOutput()
{
    std::vector<STerminalOutput> outputs;
    {
        std::lock_guard<std::mutex> lock(m_outputMutex);
        outputs.swap(m_output);
    }
    wxString batch;
    for (const STerminalOutput& output : outputs) {
        if (output.kind == STerminalOutput::LINE || output.kind == STerminalOutput::NO_ANSWER) {
            const wxString text = output.kind == STerminalOutput::LINE ? output.text : NoAnswerLine();
            m_transcript.Append(text);
            batch += PaneText(text);
            continue;
        }
        AppendToPane(batch);
        batch.clear();
        if (output.kind == STerminalOutput::ENTER_LINE_MODE)
            EnterLineTerminal();
        else
            LeaveLineTerminal();
    }
    AppendToPane(batch);
}

void CCommandCenterDlg::AppendToPane(const wxString& text)
{
    if (text.empty())
        return;
    m_pane->AppendText(text);
    if (m_lineTerminal)
        m_lineStart = m_pane->GetLastPosition();
}

void CCommandCenterDlg::EnterLineTerminal()
{
    m_lineTerminal = true;
    m_pane->SetEditable(true);
    m_lineStart = m_pane->GetLastPosition();
    m_pane->SetInsertionPointEnd();
    m_pane->SetFocus();
}

void CCommandCenterDlg::LeaveLineTerminal()
{
    m_lineTerminal = false;
    m_pane->SetEditable(false);
}

bool CCommandCenterDlg::CaretOnLastLine(bool deletingBackwards) const
{
    long from = 0;
    long to = 0;
    m_pane->GetSelection(&from, &to);
    const long caret = std::min(from, m_pane->GetInsertionPoint());
    return deletingBackwards ? caret > m_lineStart : caret >= m_lineStart;
}

void CCommandCenterDlg::OnPaneKeyDown(wxKeyEvent& event)
{
    if (!m_lineTerminal) {
        event.Skip();
        return;
    }
    switch (event.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        FinishTerminalLine();
        return;
    case WXK_BACK:
        if (CaretOnLastLine(true))
            event.Skip();
        return;
    case WXK_DELETE:
        if (CaretOnLastLine(false))
            event.Skip();
        return;
    default:
        event.Skip();  // moving the caret is allowed anywhere
    }
}

void CCommandCenterDlg::OnPaneChar(wxKeyEvent& event)
{
    // Typing lands only on the line being written; earlier output stays as it came.
    if (!m_lineTerminal || CaretOnLastLine(false))
        event.Skip();
}

void CCommandCenterDlg::FinishTerminalLine()
{
    if (!m_lineTerminal)
        return;
    const wxString line = m_pane->GetRange(m_lineStart, m_pane->GetLastPosition());
    switch (DecideTerminalLine(line)) {
    case ETerminalLineAction::KEEP_TYPING:
        return;
    case ETerminalLineAction::END_MODE:
        m_pane->AppendText("\n");
        m_transcript.Append(line + "\r\n");
        m_session->LeaveLineMode();
        LeaveLineTerminal();
        return;
    case ETerminalLineAction::SEND:
        m_pane->AppendText("\n");
        m_transcript.Append(line + "\r\n");
        m_lineStart = m_pane->GetLastPosition();
        m_session->QueueTerminalLine(line);
        return;
    }
}
