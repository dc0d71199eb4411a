// A look over the windows on screen for what a user would see as broken layout:
// text cut off, controls drawn over each other or past the edge of their window, and
// text too faint against its background. The page tour runs it on every window it
// shows, so that a string that grew in translation or a style with other colours
// shows up as a line in a report instead of in a user's screenshot.
#pragma once

#include <wx/colour.h>
#include <wx/string.h>

#include <vector>

class wxWindow;

// Contrast between two colours as the accessibility guidelines define it: from 1 (the
// same) to 21 (black on white). Text needs at least 4.5.
double ContrastRatio(const wxColour& first, const wxColour& second);

class CLayoutCheck {
public:
    static constexpr double kMinTextContrast = 4.5;

    // One line per fault found in `top` and the windows inside it, naming the window,
    // the control and what is wrong with it.
    static std::vector<wxString> Check(wxWindow* top);

    // The same over every top-level window that is shown.
    static std::vector<wxString> CheckShownWindows();
};
