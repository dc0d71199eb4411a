#include "FileSelectControl.h"

#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ButtonRules.h"

#include <wx/textctrl.h>

#include <algorithm>

namespace {

const int32_t kBrowseWidth = 80;
const int32_t kGap = 4;

}  // namespace

CFileSelectControl::~CFileSelectControl()
{
    if (m_browse)
        m_browse->Destroy();
}

bool CFileSelectControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* edit = new wxTextCtrl(ParentWnd, wxID_ANY, Command->Value);
    ApplyPageFont(edit);
    ValueWnd = edit;
    m_browse = new wxButton(ParentWnd, wxID_ANY, GetUiText("ID_BROWSE", "浏览..."));
    ApplyPageFont(m_browse);
    CreateHint(Command->GetDefaultText(false, 0));
    // A typed path commits at once, as a chosen one does.
    edit->Bind(wxEVT_TEXT, &CFileSelectControl::OnTextChanged, this);
    m_browse->Bind(wxEVT_BUTTON, &CFileSelectControl::OnBrowse, this);
    Layout();
    return true;
}

wxTextCtrl* CFileSelectControl::GetEdit() const
{
    return static_cast<wxTextCtrl*>(ValueWnd.get());
}

void CFileSelectControl::Layout()
{
    CControlBase::Layout();
    wxTextCtrl* edit = GetEdit();
    if (!edit || !m_browse)
        return;
    // The button takes the right end of the widget's column.
    const wxRect column = edit->GetRect();
    const int32_t browseWidth = std::min(std::max(kBrowseWidth, m_browse->GetBestSize().GetWidth()), column.width);
    const int32_t editWidth = std::max(0, column.width - browseWidth - kGap);
    edit->SetSize(column.x, column.y, editWidth, column.height);
    m_browse->SetSize(column.x + editWidth + kGap, column.y, browseWidth, column.height);
}

bool CFileSelectControl::Show(bool show)
{
    if (m_browse)
        m_browse->Show(show);
    return CControlBase::Show(show);
}

void CFileSelectControl::Refresh(int mode)
{
    // After a file was loaded the field shows the path the file set.
    if (mode == 2 && Command)
        ShowTextInValueWnd(Command->Value);
    else
        CControlBase::Refresh(mode);
}

void CFileSelectControl::OnTextChanged(wxCommandEvent& event)
{
    event.Skip();
    if (wxTextCtrl* edit = GetEdit()) {
        const wxString path = edit->GetValue();
        Command->SetValue(path, &path);
    }
}

void CFileSelectControl::OnBrowse(wxCommandEvent& event)
{
    event.Skip();
    SFileQuestion question;
    question.filter = BuildFileFilter(Command->SettingsList);
    const wxString path = ChooseFile(ParentWnd, question);
    // Writing the path into the field commits it like a typed one; a cancel keeps it.
    if (!path.empty() && GetEdit())
        GetEdit()->SetValue(path);
}
