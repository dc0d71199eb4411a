// Asking the user for a file to open or save. Window tests replace the question
// with an answer of their own, since no one is there to click.
#pragma once

#include <wx/string.h>

#include <functional>

class wxWindow;

struct SFileQuestion {
    bool save = false;
    wxString filter;
    wxString defaultFolder;
    wxString defaultName;
};

// The chosen path, or empty when the user cancelled.
wxString ChooseFile(wxWindow* parent, const SFileQuestion& question);

using FileChooserHandler = std::function<wxString(const SFileQuestion& question)>;
// Null gives the file dialog back.
void SetFileChooser(FileChooserHandler handler);
