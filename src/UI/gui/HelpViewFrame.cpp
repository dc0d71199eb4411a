#include "HelpViewFrame.h"

#include "Accessible.h"
#include "HarbrekBaseDlg.h"
#include "app/UiText.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/sizer.h>

CHelpViewFrame::CHelpViewFrame(wxWindow* parent, const wxString& title)
    : wxFrame(parent, wxID_ANY, title, wxDefaultPosition, wxSize(820, 640))
{
    m_view = new wxHtmlWindow(this);
    SetAccessibleName(m_view, title, EAccessibleRole::Panel);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_view, 1, wxEXPAND);
    SetSizer(sizer);
    CloseOnEscape(this);
}

bool CHelpViewFrame::Open(wxWindow* parent, const wxString& path)
{
    auto* frame = new CHelpViewFrame(parent, GetUiText("ID_STRING_HELP", "帮助"));
    wxLogNull quiet;  // a failure is the caller's to report, not a pop-up of the framework's
    if (!frame->m_view->LoadFile(wxFileName(path))) {
        frame->Destroy();
        return false;
    }
    frame->Show();
    frame->Raise();
    return true;
}
