// The on-screen key pad: a PC keyboard drawn from a layout file (US or European,
// switched with two buttons above the keys). A click on a key hands the caller the
// key as four hexadecimal digits, the modifier code held down then and the key's
// code ("%02X%s"); modifier keys latch until the next key.
#pragma once

#include "dataformat/SpecialChars.h"
#include "UI/KeyPadLayout.h"

#include <wx/button.h>
#include <wx/dc.h>
#include <wx/panel.h>

#include <functional>

class CKeyBoardCtrl : public wxPanel {
public:
    // `key` is the pressed key; `text` the four-digit code with the modifier.
    using KeyHandler = std::function<void(const SKeyRecord& key, const wxString& text)>;

    CKeyBoardCtrl(wxWindow* parent, KeyHandler onKey);

    // Reads both layout files and shows the US layout.
    void LoadLayouts();
    void ShowLayout(bool european);
    bool IsEuropean() const { return m_european; }
    const SKeyPadLayout& CurrentLayout() const { return m_european ? m_europeanLayout : m_usLayout; }
    // The names a character field may hold while the pad shows: "[" + legend + "]".
    CSpecialChars KeyNames() const;
    // Presses the key at `index` of the current layout, as a click does.
    void PressKey(size_t index);
    uint8_t Modifiers() const { return m_modifiers; }

private:
    void OnPaint(wxPaintEvent& event);
    static wxFont FontFittingKey(wxDC& dc, const wxFont& font, const wxString& legend, int width);
    void OnLeftUp(wxMouseEvent& event);
    void PlaceLayoutButtons();
    void FitToLayout();

    KeyHandler m_onKey;
    wxButton* m_usButton = nullptr;
    wxButton* m_europeanButton = nullptr;
    SKeyPadLayout m_usLayout;
    SKeyPadLayout m_europeanLayout;
    bool m_european = false;
    uint8_t m_modifiers = 0;
};
