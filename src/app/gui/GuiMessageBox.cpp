#include "GuiMessageBox.h"

#include "UiText.h"

#include <wx/app.h>
#include <wx/msgdlg.h>  // the generic dialog builds on its base class
#include <wx/generic/msgdlgg.h>
#include <wx/sizer.h>

namespace {

// The toolkit's own message dialog shows no icon under GTK 3, so the kind of a message
// (error, warning, question) would only be told by its words. The generic dialog draws
// the desktop theme's icon and lays its buttons out in the desktop's order.
class CMessageDialog : public wxGenericMessageDialog {
public:
    CMessageDialog(wxWindow* owner, const wxString& text, long style)
        : wxGenericMessageDialog(owner, text, "Vostrel", style)
    {
    }

protected:
    // Called while the dialog lays itself out: a short message must not make the window
    // so narrow that the title bar cuts the caption down to "…".
    void AddMessageDialogDetails(wxSizer* sizer) override
    {
        const int captionWidth = GetTextExtent(GetTitle()).GetWidth();
        sizer->Add(captionWidth + FromDIP(160), 0);
    }
};

void SetButtonLabels(CMessageDialog& dialog, long style)
{
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
}

int AnswerOf(int buttonId)
{
    switch (buttonId) {
    case wxID_YES:
        return wxYES;
    case wxID_NO:
        return wxNO;
    case wxID_CANCEL:
        return wxCANCEL;
    default:
        return wxOK;
    }
}

}  // namespace

void InstallDialogMessageHandler()
{
    SetMessageHandler([](const wxString& text, long style) {
        wxWindow* owner = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
        CMessageDialog dialog(owner, text, style);
        SetButtonLabels(dialog, style);
        return AnswerOf(dialog.ShowModal());
    });
}
