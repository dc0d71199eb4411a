#include "GuiMessageBox.h"

#include "UiText.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

void InstallDialogMessageHandler()
{
    SetMessageHandler([](const wxString& text, long style) {
        wxWindow* owner = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
        wxMessageDialog dialog(owner, text, "Vostrel", style);
        const wxString yes = GetUiText("IDYES", "YES"), no = GetUiText("IDNO", "NO");
        const wxString ok = GetUiText("IDOK", "OK"), cancel = GetUiText("IDCANCEL", "Cancel");
        if ((style & wxYES_NO) && (style & wxCANCEL))
            dialog.SetYesNoCancelLabels(yes, no, cancel);
        else if (style & wxYES_NO)
            dialog.SetYesNoLabels(yes, no);
        else if (style & wxCANCEL)
            dialog.SetOKCancelLabels(ok, cancel);
        else
            dialog.SetOKLabel(ok);
        switch (dialog.ShowModal()) {
        case wxID_YES:
            return static_cast<int>(wxYES);
        case wxID_NO:
            return static_cast<int>(wxNO);
        case wxID_CANCEL:
            return static_cast<int>(wxCANCEL);
        default:
            return static_cast<int>(wxOK);
        }
    });
}
