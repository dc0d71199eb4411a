#include "FileChooser.h"

#include "UiText.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

namespace {

FileChooserHandler g_chooser;

wxString AskWithDialog(wxWindow* parent, const SFileQuestion& question)
{
    const long style = question.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(parent, question.title, question.defaultFolder, question.defaultName, question.filter, style);
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

// The dialog asked before replacing the name as typed; the name with the extension
// added is another file, which must not be replaced unasked.
wxString WithExtension(const wxString& path, const wxString& extension)
{
    if (extension.empty() || wxFileName(path).HasExt())
        return path;
    const wxString extended = path + "." + extension;
    if (wxFileExists(extended) &&
        ShowMessage(GetUiText("ID_FILE_REPLACE", "文件已存在,是否替换?") + "\r\n" + extended,
                    wxYES_NO | wxICON_QUESTION) != wxYES)
        return wxString();
    return extended;
}

}  // namespace

void SetFileChooser(FileChooserHandler handler)
{
    g_chooser = std::move(handler);
}

wxString ChooseFile(wxWindow* parent, const SFileQuestion& question)
{
    SFileQuestion asked = question;
    if (asked.title.empty())
        asked.title = question.save ? GetUiText("ID_CFGMAINDLG_SAVE", "保存") : GetUiText("ID_CFGMAINDLG_OPEN", "打开");
    const wxString path = g_chooser ? g_chooser(asked) : AskWithDialog(parent, asked);
    return path.empty() || !asked.save ? path : WithExtension(path, asked.extension);
}
