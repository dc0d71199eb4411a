// HEXEDITKEYBOARD: the hexadecimal edit without a preview, with a row of keys for
// the sixteen digits and Backspace below it, for touch screens.
#pragma once

#include "EdidHexControl.h"

#include <wx/window.h>

#include <functional>
#include <vector>

// One key of the on-screen keyboard. It never takes the focus: a key is part of
// what the user is typing into the field, and the field commits when it loses the
// focus.
class CHexKeyWindow : public wxWindow {
public:
    CHexKeyWindow(wxWindow* parent, const wxString& label, std::function<void()> press);

    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }
    // What a click on the key does.
    void Press();

private:
    void OnLeftUp(wxMouseEvent& event);
    void OnPaint(wxPaintEvent& event);

    std::function<void()> m_press;
    bool m_pressed = false;
};

class CEdidHexKayboardControl : public CEdidHexControl {
public:
    ~CEdidHexKayboardControl() override;
    void Layout() override;
    bool Show(bool show) override;

    // The on-screen keys, the sixteen digits first and Backspace last.
    const std::vector<wxWeakRef<CHexKeyWindow>>& GetKeys() const { return m_keys; }

protected:
    void CreateExtras() override;
    bool HasPreview() const override { return false; }

private:
    void AddKey(const wxString& label, std::function<void()> press);
    void AfterKey();

    std::vector<wxWeakRef<CHexKeyWindow>> m_keys;
};
