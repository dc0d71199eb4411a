#include "EdidHexControl.h"

#include "app/UiText.h"
#include "model/CmdGetRangeLenMnt.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

// Whatever reached the field by a way the key filter does not see (an input method,
// dragging) is cut down to what it could have typed.
wxString KeepHexDigitsUpper(const wxString& text)
{
    wxString kept;
    for (wxUniChar c : text) {
        if (const auto accepted = AcceptHexChar(c))
            kept += *accepted;
    }
    return kept;
}

wxString ReadClipboardText()
{
    wxString text;
    if (!wxTheClipboard->Open())
        return text;
    wxTextDataObject data;
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data))
        text = data.GetText();
    wxTheClipboard->Close();
    return text;
}

}  // namespace

CEdidHexControl::~CEdidHexControl()
{
    if (m_preview)
        m_preview->Destroy();
}

bool CEdidHexControl::Create()
{
    if (!Command)
        return false;
    m_limits.minimum = Command->HexMinimum;
    m_limits.maximum = Command->HexMaximum;
    // Online this may ask the scanner once; the answer is kept for the whole row.
    if (!Command->CmdGetLen.empty())
        m_limits.lengthInBytes = CCmdGetRangeLenMnt::GetInstance().GetLength(Command->CmdGetLen);
    return CEditControl::Create();
}

wxString CEdidHexControl::HintText() const
{
    return Command->GetDefaultText(true, static_cast<int32_t>(m_limits.lengthInBytes));
}

void CEdidHexControl::CreateExtras()
{
    wxTextCtrl* edit = GetEdit();
    edit->Bind(wxEVT_CHAR, &CEdidHexControl::OnChar, this);
    edit->Bind(wxEVT_TEXT_PASTE, &CEdidHexControl::OnPaste, this);
    edit->Bind(wxEVT_TEXT, &CEdidHexControl::OnTextChanged, this);
    if (!HasPreview())
        return;
    m_preview = new wxTextCtrl(ParentWnd, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    ApplyPageFont(m_preview);
    m_preview->Disable();
}

void CEdidHexControl::Layout()
{
    CEditControl::Layout();
    wxTextCtrl* edit = GetEdit();
    if (!m_preview || !edit)
        return;
    // The hexadecimal field and its preview share the widget column.
    const wxRect column = edit->GetRect();
    const int half = column.width / 2;
    PlaceWidget(edit, column.x, column.y, column.x + half - 2, column.GetBottom() + 1);
    PlaceWidget(m_preview, column.x + half + 2, column.y, column.GetRight() + 1, column.GetBottom() + 1);
}

bool CEdidHexControl::Show(bool show)
{
    if (m_preview)
        m_preview->Show(show);
    return CEditControl::Show(show);
}

void CEdidHexControl::ShowValue(const wxString& text)
{
    m_acceptedText = text.Upper();
    CEditControl::ShowValue(m_acceptedText);
    UpdatePreview();
}

void CEdidHexControl::UpdatePreview()
{
    if (m_preview && GetEdit())
        m_preview->ChangeValue(HexPreviewText(GetEdit()->GetValue()));
}

wxString CEdidHexControl::TextWithSelectionReplacedBy(const wxString& inserted) const
{
    const wxTextCtrl* edit = GetEdit();
    long from = 0;
    long to = 0;
    edit->GetSelection(&from, &to);
    wxString text = edit->GetValue();
    const size_t start = std::min(static_cast<size_t>(std::max(from, 0L)), text.length());
    const size_t end = std::min(std::max(static_cast<size_t>(std::max(to, 0L)), start), text.length());
    return text.Left(start) + inserted + text.Mid(end);
}

bool CEdidHexControl::TypeHexChar(wxUniChar c)
{
    const auto accepted = AcceptHexChar(c);
    return accepted && InsertHexDigits(wxString(*accepted));
}

bool CEdidHexControl::InsertHexDigits(const wxString& digits)
{
    wxTextCtrl* edit = GetEdit();
    if (!edit || digits.empty() || digits != KeepHexDigitsUpper(digits) ||
        !IsHexTextAcceptable(TextWithSelectionReplacedBy(digits), m_limits))
        return false;
    edit->WriteText(digits);
    return true;
}

bool CEdidHexControl::IsDeleteRefused() const
{
    long from = 0;
    long to = 0;
    GetEdit()->GetSelection(&from, &to);
    return IsFirstByteDeleteRefused(Command->CommandName, GetEdit()->GetValue().length(), from, to);
}

void CEdidHexControl::DeleteAtCaret(bool forward)
{
    wxTextCtrl* edit = GetEdit();
    if (IsDeleteRefused())
        return;
    long from = 0;
    long to = 0;
    edit->GetSelection(&from, &to);
    if (from == to) {
        from = forward ? from : from - 1;
        to = forward ? to + 1 : to;
    }
    if (from < 0 || to > edit->GetLastPosition())
        return;
    edit->Remove(from, to);
}

void CEdidHexControl::OnChar(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key == WXK_BACK || key == WXK_DELETE) {
        if (!IsDeleteRefused())
            event.Skip();
        return;
    }
    const wxUniChar typed = event.GetUnicodeKey();
    const bool printable = typed != WXK_NONE && typed >= WXK_SPACE && !event.HasAnyModifiers();
    if (!printable) {
        event.Skip();  // arrows, Tab, Enter, shortcuts
        return;
    }
    // Digits are inserted here, in upper case; refused ones are silently dropped.
    TypeHexChar(typed);
}

void CEdidHexControl::OnPaste(wxClipboardTextEvent& event)
{
    (void)event;  // the field takes only what passes the check, so the paste is ours
    const std::optional<wxString> pasted = CleanPastedHex(ReadClipboardText());
    if (!pasted) {
        ShowMessage(GetUiText("ID_ERROR_NOALL_HEX", "粘贴内容不全为十六进制"), wxOK | wxICON_WARNING);
        return;
    }
    InsertHexDigits(*pasted);
}

void CEdidHexControl::OnTextChanged(wxCommandEvent& event)
{
    event.Skip();
    wxTextCtrl* edit = GetEdit();
    wxString kept = KeepHexDigitsUpper(edit->GetValue());
    // Text that came past the key and paste checks (a middle-click paste) may not
    // break the limits either; taking characters away is always allowed.
    if (!IsHexTextAcceptable(kept, m_limits) && kept.length() >= m_acceptedText.length())
        kept = m_acceptedText;
    if (kept != edit->GetValue()) {
        const long caret = edit->GetInsertionPoint();
        edit->ChangeValue(kept);
        edit->SetInsertionPoint(std::min(caret, edit->GetLastPosition()));
    }
    m_acceptedText = kept;
    UpdatePreview();
}

void CEdidHexControl::CommitEdit()
{
    wxTextCtrl* edit = GetEdit();
    if (!edit || !Command)
        return;
    const wxString corrected = CorrectHexForCommit(KeepHexDigitsUpper(edit->GetValue()), m_limits);
    if (HasForbiddenHeader(Command->CommandName, corrected)) {
        ShowMessage(FormatHeaderMessage(Command->GetFriendlyText()), wxOK | wxICON_WARNING);
        ShowValue(wxString());
        CommitText(wxString());
        edit->CallAfter([edit] { edit->SetFocus(); });
        return;
    }
    if (corrected != edit->GetValue())
        ShowValue(corrected);
    CommitText(corrected);
}
