// Base of every dialog and page: the shared UI font on all children, F1 for the
// help document of the current language, and the virtual operation that sets all
// visible texts from the text table.
#pragma once

#include <functional>

#include <wx/font.h>
#include <wx/panel.h>

class CHarbrekBaseDlg : public wxPanel {
public:
    CHarbrekBaseDlg(wxWindow* parent, wxWindowID id = wxID_ANY, long style = wxTAB_TRAVERSAL);

    // Sets every visible text through GetUiText; runs at initialisation and after a
    // language change.
    virtual void ApplyUiTexts() {}

    // The font chosen at start-up, shared by all dialogs.
    static void SetSharedFont(const wxFont& font);
    static const wxFont& GetSharedFont();
    // Sets `font` on `window` and all its children.
    // The pages' light tint, under the theme's own text colour; only where that text
    // is dark: a dark theme keeps its background, or its light text would not show.
    static void ApplyPageTint(wxWindow* page);
    static void ApplyFontToTree(wxWindow* window, const wxFont& font);
    // Makes the window and those inside it measure their best size anew.
    static void ForgetBestSizes(wxWindow* window);
    // Lays out again every window with a sizer inside `window`.
    static void LayoutPanelsInside(wxWindow* window);

    // Lays out after giving every check box of the page room for its box and its
    // current label (see SizeCheckBoxesToLabels).
    bool Layout() override;

protected:
    void ApplySharedFont();
};

// Opens the current language's help document; shows "ID_STRING_HELP_OPEN_ERROR" when
// it cannot be opened. Shared by the pages and the main window.
bool OpenHelpDocument();

// F1 opens the help document in `window` (a dialog or secondary window of its own,
// where the pages' F1 does not reach).
void OpenHelpOnF1(wxWindow* window);

// Escape closes `window` (a secondary window or a dialog without a Cancel button) as
// `close` does; without `close`, as its close box does.
void CloseOnEscape(wxWindow* window, std::function<void()> close = std::function<void()>());
