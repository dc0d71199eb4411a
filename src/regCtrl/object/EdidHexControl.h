// HEXEDIT: a byte string typed as hexadecimal digits, with a preview beside it that
// shows the bytes as characters. The byte limits and the length come from the model.
#pragma once

#include "EditControl.h"
#include "regCtrl/rules/HexEditRules.h"

#include <wx/weakref.h>

class wxClipboardTextEvent;
class wxKeyEvent;

class CEdidHexControl : public CEditControl {
public:
    bool Create() override;
    void Layout() override;
    bool Show(bool show) override;
    ~CEdidHexControl() override;

protected:
    void CreateExtras() override;
    wxString HintText() const override;
    void CommitEdit() override;
    void ShowValue(const wxString& text) override;

    // The keyboard edit shows no preview.
    virtual bool HasPreview() const { return true; }
    // Puts one typed digit at the caret when the field may hold the result; false
    // when it was refused.
    bool TypeHexChar(wxUniChar c);
    // Puts upper-case hexadecimal digits in place of the selection, or at the caret,
    // all or nothing, under the same limits as typing; false when refused.
    bool InsertHexDigits(const wxString& digits);
    // Backspace, or Delete when `forward`, unless the setting guards its first byte.
    void DeleteAtCaret(bool forward);

private:
    bool IsDeleteRefused() const;
    // The field's text with the selection replaced by `inserted`.
    wxString TextWithSelectionReplacedBy(const wxString& inserted) const;
    void OnChar(wxKeyEvent& event);
    void OnPaste(wxClipboardTextEvent& event);
    void OnTextChanged(wxCommandEvent& event);
    void UpdatePreview();

    SHexLimits m_limits;
    wxString m_acceptedText;  // the field's last text within the limits
    wxWeakRef<wxTextCtrl> m_preview;
};
