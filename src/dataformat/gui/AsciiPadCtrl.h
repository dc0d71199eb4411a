// The ASCII pad: one button per character 0x00-0x7F, control characters by their
// names ("[ CR]"), so that a rule field can hold characters that cannot be typed.
#pragma once

#include <wx/panel.h>

#include <functional>

class CAsciiPadCtrl : public wxPanel {
public:
    // `onText` gets the text of the pressed button: the character or its name.
    CAsciiPadCtrl(wxWindow* parent, std::function<void(const wxString&)> onText);

    // The text of the button of `byte`.
    static wxString TextOf(unsigned byte);

private:
    std::function<void(const wxString&)> m_onText;
};
