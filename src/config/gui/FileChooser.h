// Asking the user for a file to open or save. Window tests replace the question
// with an answer of their own, since no one is there to click.
#pragma once

#include <wx/string.h>

#include <functional>

class wxWindow;

struct SFileQuestion {
    bool save = false;
    // Empty: the text table's word for opening or saving.
    wxString title;
    wxString filter;
    wxString defaultFolder;
    wxString defaultName;
    // Added (without the dot) to a name saved without any extension.
    wxString extension;
};

// The chosen path, or empty when the user cancelled. A name saved without extension
// gets `extension`; when that names an existing file the user is asked first.
wxString ChooseFile(wxWindow* parent, const SFileQuestion& question);

using FileChooserHandler = std::function<wxString(const SFileQuestion& question)>;
// Null gives the file dialog back.
void SetFileChooser(FileChooserHandler handler);
