#include "GuiMessageBox.h"

#include "app/MnemonicText.h"
#include "app/UiText.h"

#include <wx/app.h>
#include <wx/msgdlg.h>  // the generic dialog builds on its base class
#include <wx/generic/msgdlgg.h>
#include <wx/button.h>
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
        // A question without Cancel: Escape is the careful answer.
        if ((style & wxYES_NO) && !(style & wxCANCEL))
            SetEscapeId(wxID_NO);
        Bind(wxEVT_CHAR_HOOK, &CMessageDialog::OnCharHook, this);
    }

private:
    // A message box has nothing to type into, so its answers take their letter
    // without Alt as well: "n" answers No.
    void OnCharHook(wxKeyEvent& event)
    {
        const int key = event.GetKeyCode();
        if (!event.HasAnyModifiers() && key > 0 && key < 128 && wxIsalnum(key)) {
            for (wxWindow* child : GetChildren()) {
                auto* button = dynamic_cast<wxButton*>(child);
                if (button && MnemonicOf(button->GetLabel()) == static_cast<wxChar>(wxTolower(key))) {
                    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
                    click.SetEventObject(button);
                    button->GetEventHandler()->ProcessEvent(click);
                    return;
                }
            }
        }
        event.Skip();
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
    const wxString yes = GetUiLabel("IDYES", "&YES"), no = GetUiLabel("IDNO", "&NO");
    const wxString ok = GetUiLabel("IDOK", "&OK"), cancel = GetUiLabel("IDCANCEL", "&Cancel");
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
