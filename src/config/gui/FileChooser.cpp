#include "FileChooser.h"

#include <wx/filedlg.h>

namespace {
FileChooserHandler g_chooser;
}

void SetFileChooser(FileChooserHandler handler)
{
    g_chooser = std::move(handler);
}

wxString ChooseFile(wxWindow* parent, const SFileQuestion& question)
{
    if (g_chooser)
        return g_chooser(question);
    const long style = question.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(parent, wxFileSelectorPromptStr, question.defaultFolder, question.defaultName, question.filter,
                        style);
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}
