#include "CompareXmlDlg.h"

#include "FileChooser.h"
#include "app/UiText.h"
#include "app/XmlFile.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

CCompareXmlDlg::CCompareXmlDlg(wxWindow* parent) : CCompareBaseDlg(parent)
{
    // The file comparison heads its reference column with the file kind, untranslated.
    CreateControls("XML");
}

void CCompareXmlDlg::AddExtraControls(wxBoxSizer* buttons)
{
    auto* browse = new wxButton(this, ID_BROWSE, GetUiText("ID_CMP_BROWSE", "浏览文件"));
    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
    buttons->Add(browse, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    m_pathText = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  wxST_ELLIPSIZE_START);
    buttons->Add(m_pathText, 1, wxALIGN_CENTER_VERTICAL);
}

void CCompareXmlDlg::Browse()
{
    SFileQuestion question;
    question.filter = "Vost Files (*.xml)|*.xml||";
    const wxString path = ChooseFile(this, question);
    if (!path.empty())
        TakeFile(path);
}

void CCompareXmlDlg::TakeFile(const wxString& path)
{
    // A file that cannot be read is said so; comparing with nothing would show every
    // setting as missing.
    CompareFileValues values;
    if (!ReadCompareFile(path, values)) {
        const wxString reason = GetLastXmlLoadError();
        ShowMessage(GetUiText("ID_CMP_FILE_UNREADABLE", "无法读取该配置文件：") + path + (reason.empty() ? "" : "\r\n" + reason),
                    wxOK | wxICON_ERROR);
        return;
    }
    m_path = path;
    m_fileValues = std::move(values);
    m_pathText->SetLabel(path);
    m_pathText->SetToolTip(path);
    Layout();
    Fill();
}

bool CCompareXmlDlg::Fill()
{
    if (m_path.empty())
        return false;
    RunFill();
    return true;
}

bool CCompareXmlDlg::ReadyToFill()
{
    if (!m_path.empty())
        return true;
    ShowMessage(GetUiText("ID_CMP_BROWSE_ERROR", "请选择XML文件!"), wxOK | wxICON_WARNING);
    return false;
}

std::vector<SCompareRow> CCompareXmlDlg::ComputeRows(bool showUnmatched, bool showMatched) const
{
    return CompareWithFile(m_fileValues, showUnmatched, showMatched);
}

void CCompareXmlDlg::CloneRows(const std::vector<CCmdNameXmlInfo*>& ticked)
{
    CloneFromFile(ticked, m_fileValues);
}
