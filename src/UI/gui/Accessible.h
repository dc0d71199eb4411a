// What a screen reader is told about a window. GTK names its own buttons and check
// boxes from their text, but not a field whose caption is a label beside it, nor a
// window we draw ourselves; those are told here, through the window's ATK object
// (wxAccessible is not built into wxGTK).
#pragma once

#include <wx/string.h>

class wxStaticText;
class wxWindow;

enum class EAccessibleRole { Button, ToggleButton, List, Table, Tree, Picture, Panel, Heading };

// Sets the name (in the current language) and role of every GTK widget that makes up
// `window`, so that whichever of them takes the focus is announced.
void SetAccessibleName(wxWindow* window, const wxString& name, EAccessibleRole role);
void SetAccessibleName(wxWindow* window, const wxString& name);

// The name and the role ("push button", "list", ...) a screen reader gets for
// `window`'s focus widget; empty where there is no accessibility support.
wxString GetAccessibleName(wxWindow* window);
wxString GetAccessibleRoleName(wxWindow* window);

// Names `field` after `label` wherever the label is, and keeps the name when the
// label's text changes: for forms that show a caption away from its field.
void NameAfterLabel(wxWindow* field, wxStaticText* label);

// Names `window` (a text field, choice, list, slider, ...) that has no name yet after
// the label shown just before it, and keeps the name when the label's text changes.
// Returns whether it found a name. Every window is passed here as it first appears on
// screen, so that forms need no call of their own.
bool NameFieldFromLabel(wxWindow* window);
