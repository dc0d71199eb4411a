// HEXEDITKEYBOARD: the hexadecimal edit without a preview, for settings whose value
// is a sequence of keys that a keyboard-wedge scanner types. A toggle button beside
// the field opens the on-screen key pad below it.
#pragma once

#include "EdidHexControl.h"
#include "UI/gui/KeyBoardCtrl.h"

#include <wx/tglbtn.h>
#include <wx/weakref.h>

class CEdidHexKeyboardControl : public CEdidHexControl {
public:
    ~CEdidHexKeyboardControl() override;
    void Layout() override;
    bool Show(bool show) override;

    // Opens the pad below the field (the row grows by its height and the page is
    // laid out again) or closes it (the row is one line again).
    void ShowKeyPad(bool show);
    bool IsKeyPadShown() const;
    wxToggleButton* GetKeyPadButton() const { return m_padButton; }
    // None until the pad is first opened.
    CKeyBoardCtrl* GetKeyPad() const { return m_keyPad; }

protected:
    void CreateExtras() override;
    bool HasPreview() const override { return false; }

private:
    void CreateKeyPad();
    int32_t FieldLineHeight() const;
    void OnPadKey(const wxString& code);
    // Moves a caret that stands inside a key's four digits to the end of that key.
    void MoveCaretToKeyBoundary();
    void KeepEntryInField(long caret);

    wxWeakRef<wxToggleButton> m_padButton;
    wxWeakRef<CKeyBoardCtrl> m_keyPad;
    bool m_rowShown = true;
};
