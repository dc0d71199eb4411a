#include "HarbrekBaseDlg.h"

#include "AppContext.h"
#include "Log.h"
#include "UiText.h"

#include <wx/filename.h>
#include <wx/utils.h>

namespace {
wxFont g_sharedFont;
}

CHarbrekBaseDlg::CHarbrekBaseDlg(wxWindow* parent, wxWindowID id, long style)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, style)
{
    Bind(wxEVT_CHAR_HOOK, &CHarbrekBaseDlg::OnCharHook, this);
}

void CHarbrekBaseDlg::SetSharedFont(const wxFont& font)
{
    g_sharedFont = font;
}

const wxFont& CHarbrekBaseDlg::GetSharedFont()
{
    return g_sharedFont;
}

void CHarbrekBaseDlg::ApplyFontToTree(wxWindow* window, const wxFont& font)
{
    if (!window || !font.IsOk())
        return;
    window->SetFont(font);
    for (wxWindow* child : window->GetChildren())
        ApplyFontToTree(child, font);
}

void CHarbrekBaseDlg::ApplySharedFont()
{
    ApplyFontToTree(this, g_sharedFont);
}

void CHarbrekBaseDlg::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_F1 && !event.HasAnyModifiers()) {
        OpenHelpDocument();
        return;
    }
    event.Skip();
}

bool OpenHelpDocument()
{
    const wxString& path = CAppContext::GetInstance().GetHelpDocument();
    VLOG(LOG_DETAIL, "help %s", U8(path));
    // The launcher cannot tell a missing file from one it opened; check first.
    if (!path.empty() && wxFileName::FileExists(path) && wxLaunchDefaultApplication(path))
        return true;
    ShowMessage(GetUiText("ID_STRING_HELP_OPEN_ERROR", "打开帮助文件失败!"), wxOK | wxICON_ERROR);
    return false;
}
