// The help document's ways to the screen: the desktop's browser, and the program's
// own window for it when the desktop has no browser.
#pragma once

#include <wx/frame.h>
#include <wx/html/htmlwin.h>

#include <functional>

// How OpenHelpDocument hands the document to a browser: true when one took it. Empty
// (the default) asks the desktop; tests put their own in its place.
using HelpLauncher = std::function<bool(const wxString& path)>;
void SetHelpLauncher(HelpLauncher launcher);

class CHelpViewFrame : public wxFrame {
public:
    // Shows `path` in a new window owned by `parent`; false when the file cannot be read.
    static bool Open(wxWindow* parent, const wxString& path);

    wxHtmlWindow* GetView() const { return m_view; }

private:
    CHelpViewFrame(wxWindow* parent, const wxString& title);

    wxHtmlWindow* m_view = nullptr;
};
