#include "HarbrekBaseDlg.h"

#include "HelpViewFrame.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

namespace {

wxFont g_sharedFont;
HelpLauncher g_helpLauncher;

bool OpenInDesktopBrowser(const wxString& path)
{
    wxLogNull quiet;  // no browser is an ordinary case here, not an error pop-up
    return wxLaunchDefaultBrowser(wxFileName::FileNameToURL(wxFileName(path)));
}

}  // namespace

CHarbrekBaseDlg::CHarbrekBaseDlg(wxWindow* parent, wxWindowID id, long style)
    : wxPanel(parent, id, wxDefaultPosition, wxDefaultSize, style)
{
    OpenHelpOnF1(this);
}

void CHarbrekBaseDlg::SetSharedFont(const wxFont& font)
{
    g_sharedFont = font;
}

const wxFont& CHarbrekBaseDlg::GetSharedFont()
{
    return g_sharedFont;
}

// GTK sizes a check box by its box and label; wxWidgets remembers the size of the
// label the box was made with (often none, set later from the text table) and a
// sizer then gives it too little, which GTK reports on standard error and draws cut.
// The minimum is taken from the text as it is now, so it never grows by itself.
static void SizeCheckBoxesToLabels(wxWindow* window)
{
    constexpr int kBoxAndSpacing = 32;
    for (wxWindow* child : window->GetChildren()) {
        if (dynamic_cast<wxCheckBox*>(child) || dynamic_cast<wxRadioButton*>(child)) {
            const wxSize text = child->GetTextExtent(wxControl::RemoveMnemonics(child->GetLabel()));
            const wxSize wanted(text.x + kBoxAndSpacing, -1);
            if (child->GetMinSize() != wanted)
                child->SetMinSize(wanted);
        } else if (!dynamic_cast<CHarbrekBaseDlg*>(child)) {
            SizeCheckBoxesToLabels(child);  // a nested page looks after its own
        }
    }
}

bool CHarbrekBaseDlg::Layout()
{
    SizeCheckBoxesToLabels(this);
    return wxPanel::Layout();
}

void CHarbrekBaseDlg::ApplyPageTint(wxWindow* page)
{
    if (page && !wxSystemSettings::GetAppearance().IsUsingDarkBackground())
        page->SetBackgroundColour(wxColour(247, 249, 252));
}

void CHarbrekBaseDlg::ForgetBestSizes(wxWindow* window)
{
    window->InvalidateBestSize();
    for (wxWindow* child : window->GetChildren())
        ForgetBestSizes(child);
}

// From the outside in: a panel keeps its size when only what is inside it needs
// more, so it would not lay itself out again by itself.
void CHarbrekBaseDlg::LayoutPanelsInside(wxWindow* window)
{
    for (wxWindow* child : window->GetChildren()) {
        if (child->IsTopLevel())
            continue;
        if (child->GetSizer())
            child->Layout();
        LayoutPanelsInside(child);
    }
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

void SetHelpLauncher(HelpLauncher launcher)
{
    g_helpLauncher = std::move(launcher);
}

bool OpenHelpDocument()
{
    const wxString& path = CAppContext::GetInstance().GetHelpDocument();
    VLOG(LOG_DETAIL, "help %s", U8(path));
    // The browser cannot tell a missing file from one it opened; check first.
    if (!path.empty() && wxFileName::FileExists(path)) {
        const bool launched = g_helpLauncher ? g_helpLauncher(path) : OpenInDesktopBrowser(path);
        // A desktop without a browser still gets the document, in the program's own view.
        if (launched || CHelpViewFrame::Open(wxTheApp->GetTopWindow(), path))
            return true;
    }
    ShowMessage(GetUiText("ID_STRING_HELP_OPEN_ERROR", "打开帮助文件失败!"), wxOK | wxICON_ERROR);
    return false;
}

// `action` for `keyCode` pressed without modifiers anywhere in `window`; other keys go on.
static void BindKey(wxWindow* window, int keyCode, std::function<void()> action)
{
    window->Bind(wxEVT_CHAR_HOOK, [keyCode, action](wxKeyEvent& event) {
        if (event.GetKeyCode() == keyCode && !event.HasAnyModifiers())
            action();
        else
            event.Skip();
    });
}

void CloseOnEscape(wxWindow* window, std::function<void()> close)
{
    BindKey(window, WXK_ESCAPE, close ? std::move(close) : [window] { window->Close(); });
}

void OpenHelpOnF1(wxWindow* window)
{
    BindKey(window, WXK_F1, [] { OpenHelpDocument(); });
}
