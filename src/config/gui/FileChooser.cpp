#include "FileChooser.h"

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/FileNaming.h"
#include "app/UiText.h"
#include "config/SaveCfg.h"
#include "device/DeviceInfo.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

namespace {

FileChooserHandler g_chooser;

struct SChosen {
    wxString path;
    int filterIndex = 0;
};

SChosen AskWithDialog(wxWindow* parent, const SFileQuestion& question)
{
    const long style = question.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(parent, question.title, question.defaultFolder, question.defaultName, question.filter, style);
    if (dialog.ShowModal() != wxID_OK)
        return SChosen();
    return SChosen{dialog.GetPath(), dialog.GetFilterIndex()};
}

// The dialog asked before replacing the name as typed; the name with the extension
// added is another file, which must not be replaced unasked.
wxString WithExtension(const wxString& path, const wxString& extension)
{
    const wxString extended = WithDefaultExtension(path, extension);
    if (extended != path && wxFileExists(extended) &&
        ShowMessage(GetUiText("ID_FILE_REPLACE", "文件已存在,是否替换?") + "\r\n" + extended,
                    wxYES_NO | wxICON_QUESTION) != wxYES)
        return wxString();
    return extended;
}

// The program folder, where the dialog would start on its own, is no place for the
// user's files; the first dialog starts among the user's documents.
wxString FirstFolder()
{
    return StartFolder(CAppSettings::GetInstance().Values().lastFolder, CAppContext::GetInstance().GetDocumentsFolder(),
                       wxGetHomeDir());
}

SFileQuestion Completed(const SFileQuestion& question)
{
    SFileQuestion asked = question;
    if (asked.title.empty())
        asked.title = question.save ? GetUiText("ID_CFGMAINDLG_SAVE", "保存") : GetUiText("ID_CFGMAINDLG_OPEN", "打开");
    if (asked.defaultFolder.empty())
        asked.defaultFolder = FirstFolder();
    return asked;
}

}  // namespace

void SetFileChooser(FileChooserHandler handler)
{
    g_chooser = std::move(handler);
}

wxString ProposedNameForModel(const wxString& extension)
{
    const CDeviceInfo* model = CSaveCfg::GetInstance().GetCurrentModel();
    return ProposedFileName(model ? model->m_name : wxString(), wxDateTime::Now(), extension);
}

wxString ChooseFile(wxWindow* parent, const SFileQuestion& question)
{
    const SFileQuestion asked = Completed(question);
    const SChosen chosen = g_chooser ? SChosen{g_chooser(asked), 0} : AskWithDialog(parent, asked);
    if (chosen.path.empty())
        return wxString();
    wxString path = chosen.path;
    if (asked.save) {
        const wxString typeExtension = FilterExtension(asked.filter, chosen.filterIndex);
        path = WithExtension(path, typeExtension.empty() ? asked.extension : typeExtension);
    }
    if (!path.empty())
        CAppSettings::GetInstance().SaveLastFolder(wxFileName(path).GetPath());
    return path;
}
