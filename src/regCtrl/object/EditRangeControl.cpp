#include "EditRangeControl.h"

#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <wx/textctrl.h>

void CEditRangeControl::CreateExtras()
{
    GetEdit()->Bind(wxEVT_CHAR, &CEditRangeControl::OnChar, this);
    GetEdit()->Bind(wxEVT_TEXT, &CEditRangeControl::OnTextChanged, this);
}

SRangeLimits CEditRangeControl::Limits() const
{
    return RangeEditLimits(Command->Minimum, Command->Maximum);
}

void CEditRangeControl::OnChar(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    // Navigation and shortcuts (arrows, Tab, Ctrl+C/V) pass; other printable keys
    // that are not digits are dropped.
    const bool printable = key >= WXK_SPACE && key < WXK_DELETE && !event.HasAnyModifiers();
    if (!printable || IsRangeEditKeyAccepted(key))
        event.Skip();
}

void CEditRangeControl::OnTextChanged(wxCommandEvent& event)
{
    event.Skip();
    wxTextCtrl* edit = GetEdit();
    const wxString normalized = NormalizeRangeEditText(edit->GetValue(), Limits());
    if (normalized == edit->GetValue())
        return;
    edit->ChangeValue(normalized);
    edit->SetInsertionPointEnd();
}

wxString CEditRangeControl::PartnerCaption(const SRangePartner& partner) const
{
    const CCmdNameXmlInfo* other = CPageMntXmlInfo::GetInstance().FindCommand(partner.partnerName);
    return other ? other->GetFriendlyText() : partner.partnerName;
}

void CEditRangeControl::ReportPairViolation(const SRangePartner& partner)
{
    const wxString own = Command->GetFriendlyText();
    const wxString other = PartnerCaption(partner);
    ShowMessage(partner.isLower ? FormatPairMessage(other, own) : FormatPairMessage(own, other),
                wxOK | wxICON_WARNING);
}

void CEditRangeControl::ShowAndCommit(const wxString& text)
{
    GetEdit()->ChangeValue(text);
    CommitText(text);
}

void CEditRangeControl::CommitEdit()
{
    wxTextCtrl* edit = GetEdit();
    if (!edit || !Command)
        return;
    const SRangeLimits limits = Limits();
    const wxString text = NormalizeRangeEditText(edit->GetValue(), limits);
    const std::optional<SRangePartner> partner = FindRangePartner(Command->CommandName);
    const CCmdNameXmlInfo* partnerDefinition =
        partner ? CPageMntXmlInfo::GetInstance().FindCommand(partner->partnerName) : nullptr;
    const std::optional<wxString> partnerValue =
        partnerDefinition ? std::optional<wxString>(partnerDefinition->Value) : std::nullopt;
    const SRangeCommit commit =
        CheckRangeCommit(text, limits, Command->Default, partnerDefinition ? partner : std::nullopt, partnerValue);
    switch (commit.verdict) {
    case ERangeVerdict::Accepted:
        ShowAndCommit(commit.text);
        return;
    case ERangeVerdict::PairViolation:
        ReportPairViolation(*partner);
        ShowAndCommit(commit.text);
        break;
    case ERangeVerdict::OutOfRange:
        ShowMessage(FormatRangeMessage(Command->GetFriendlyText(), limits), wxOK | wxICON_WARNING);
        ShowAndCommit(commit.text);
        edit->SelectAll();
        break;
    }
    // The user is taken back to the field that needed correcting, once the focus
    // change that brought us here is over.
    edit->CallAfter([edit] { edit->SetFocus(); });
}
