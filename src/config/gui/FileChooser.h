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
    // Empty: the folder of the last file chosen, or the user's documents the first time.
    wxString defaultFolder;
    // For saving, best ProposedFileName (FileNaming.h).
    wxString defaultName;
    // Added (without the dot) to a name saved without any extension when the chosen
    // file type names none ("*.*").
    wxString extension;
};

// The chosen path, or empty when the user cancelled. A name saved without extension
// gets the chosen file type's, else `extension`; when that names an existing file the
// user is asked first. The chosen file's folder is remembered for the next time.
wxString ChooseFile(wxWindow* parent, const SFileQuestion& question);

// A proposed name (ProposedFileName) for a file of the model being worked with today.
wxString ProposedNameForModel(const wxString& extension);

using FileChooserHandler = std::function<wxString(const SFileQuestion& question)>;
// Null gives the file dialog back.
void SetFileChooser(FileChooserHandler handler);
