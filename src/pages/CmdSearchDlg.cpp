#include "CmdSearchDlg.h"
#include "UI/gui/Accessible.h"

#include "app/UiText.h"
#include "config/gui/ConfigPageEvents.h"
#include "model/PageMntXmlInfo.h"

#include <wx/arrstr.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

#include <algorithm>

namespace {

wxDialog* g_searchWindow = nullptr;
CCmdSearchDlg* g_searchBox = nullptr;

// The floating window forgets its box when it goes with its owner.
class CSearchWindow : public wxDialog {
public:
    explicit CSearchWindow(wxWindow* owner)
        : wxDialog(owner, wxID_ANY, wxString(), wxDefaultPosition, wxSize(420, 320),
                   wxCAPTION | wxCLOSE_BOX | wxRESIZE_BORDER)
    {
    }
    ~CSearchWindow() override
    {
        g_searchWindow = nullptr;
        g_searchBox = nullptr;
    }
};

}  // namespace

CCmdSearchDlg::CCmdSearchDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    m_field = new wxTextCtrl(this, wxID_ANY);
    m_results = new wxListBox(this, wxID_ANY);
    SetAccessibleName(m_field, GetUiText("ID_STRING_CMD_SEARCH", "Find setting"));
    SetAccessibleName(m_results, GetUiText("ID_NAME_SEARCH_RESULTS", "Matching settings"));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_field, 0, wxEXPAND | wxALL, 6);
    sizer->Add(m_results, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizer(sizer);
    m_field->Bind(wxEVT_TEXT, &CCmdSearchDlg::OnText, this);
    // A click chooses; the keys only move the mark (they are the box's, below), so a
    // selection event comes from the mouse.
    m_results->Bind(wxEVT_LISTBOX, &CCmdSearchDlg::OnChoose, this);
    m_results->Bind(wxEVT_LISTBOX_DCLICK, &CCmdSearchDlg::OnChoose, this);
    Bind(wxEVT_CHAR_HOOK, &CCmdSearchDlg::OnCharHook, this);
    ApplySharedFont();
}

void CCmdSearchDlg::ApplyUiTexts()
{
    if (wxWindow* frame = wxGetTopLevelParent(this); frame && frame == g_searchWindow)
        frame->SetLabel(GetUiText("ID_STRING_CMD_DLG_SEARCH", "命令查找"));
}

void CCmdSearchDlg::Search(const wxString& text)
{
    wxString wanted = text;
    wanted.Trim(true).Trim(false);
    if (wanted.empty())
        return;
    m_found.clear();
    m_results->Clear();
    for (const auto& [name, page] : CPageMntXmlInfo::GetInstance().GetPages()) {
        for (const auto& group : page->GetGroups()) {
            for (const auto& definition : group->GetCommands()) {
                definition->OwnerPage = page.get();
                const wxString caption = definition->GetFriendlyText();
                if (!Matches(wanted, definition->CommandName, caption))
                    continue;
                m_found.push_back(definition.get());
                m_results->Append(wxString::Format("%s (%s)", caption, definition->CommandName));
            }
        }
    }
}

bool CCmdSearchDlg::Matches(const wxString& query, const wxString& commandName, const wxString& caption)
{
    const wxString where = (commandName + " " + caption).Lower();
    const wxArrayString words = wxSplit(query.Lower(), ' ', '\0');
    bool any = false;
    for (const wxString& word : words) {
        if (word.empty())
            continue;
        if (where.Find(word) == wxNOT_FOUND)
            return false;
        any = true;
    }
    return any;
}

void CCmdSearchDlg::ChooseResult(int row)
{
    if (row < 0 || static_cast<size_t>(row) >= m_found.size())
        return;
    if (m_target) {
        wxCommandEvent request(EVT_VOSTREL_SHOW_SETTING);
        request.SetClientData(m_found[static_cast<size_t>(row)]);
        wxPostEvent(m_target, request);
    }
    HideBox();
}

void CCmdSearchDlg::HideBox()
{
    if (wxWindow* frame = wxGetTopLevelParent(this); frame && frame == g_searchWindow)
        frame->Hide();
}

void CCmdSearchDlg::MoveMark(int step)
{
    const int count = static_cast<int>(m_results->GetCount());
    if (count == 0)
        return;
    const int marked = m_results->GetSelection();
    const int next = marked == wxNOT_FOUND ? (step > 0 ? 0 : count - 1) : std::clamp(marked + step, 0, count - 1);
    m_results->SetSelection(next);  // no selection event: nothing is chosen yet
}

bool CCmdSearchDlg::HandleKey(int keyCode)
{
    switch (keyCode) {
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        MoveMark(1);
        return true;
    case WXK_UP:
    case WXK_NUMPAD_UP:
        MoveMark(-1);
        return true;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: {
        const int marked = m_results->GetSelection();
        if (marked != wxNOT_FOUND)
            ChooseResult(marked);
        else if (m_found.size() == 1)
            ChooseResult(0);
        return true;
    }
    case WXK_ESCAPE:
        HideBox();
        return true;
    default:
        return false;
    }
}

void CCmdSearchDlg::OnCharHook(wxKeyEvent& event)
{
    if (event.HasAnyModifiers() || !HandleKey(event.GetKeyCode()))
        event.Skip();
}

void CCmdSearchDlg::OnText(wxCommandEvent&)
{
    Search(m_field->GetValue());
}

void CCmdSearchDlg::OnChoose(wxCommandEvent& event)
{
    ChooseResult(event.GetSelection());
}

CCmdSearchDlg* CCmdSearchDlg::ShowSearchBox(wxWindow* owner, wxWindow* target)
{
    if (!g_searchWindow) {
        g_searchWindow = new CSearchWindow(owner);
        g_searchBox = new CCmdSearchDlg(g_searchWindow);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(g_searchBox, 1, wxEXPAND);
        g_searchWindow->SetSizer(sizer);
    }
    g_searchBox->SetTarget(target);
    g_searchBox->ApplyUiTexts();
    g_searchWindow->Move(wxGetMousePosition() + wxPoint(8, 8));
    g_searchWindow->Show();
    g_searchWindow->Raise();
    g_searchBox->GetField()->SetFocus();
    return g_searchBox;
}

CCmdSearchDlg* CCmdSearchDlg::GetSearchBox()
{
    return g_searchBox;
}
