// The two calls every part of the program uses to talk to the user: the text of an
// identifier in the current language, and the message box.
#pragma once

#include <wx/defs.h>
#include <wx/string.h>

#include <functional>

// The text of `identifier` in the current language, or `fallback` (the call site's
// built-in Simplified Chinese text) when the table has none. A mnemonic marker the
// text carries for its buttons ("&Yes", "是(&Y)") is left out: the same identifier
// also names things in messages, titles and files.
wxString GetUiText(const wxString& identifier, const wxString& fallback);
// Same, for built-in texts written in UTF-8 source.
wxString GetUiText(const char* identifier, const char* fallbackUtf8);

// The text of `identifier` as a control's label, with its mnemonic marker kept: for
// the buttons whose letter people expect (Yes, No, OK, Cancel).
wxString GetUiLabel(const char* identifier, const char* fallbackUtf8);

// Shows `text` with the buttons and icon of `style` (wxOK, wxYES_NO, wxYES_NO |
// wxCANCEL with wxICON_ERROR, wxICON_QUESTION, wxICON_WARNING, wxICON_INFORMATION)
// and returns the answer: wxOK, wxYES, wxNO or wxCANCEL. The caption is "Vostrel".
int ShowMessage(const wxString& text, long style = wxOK | wxICON_INFORMATION);

// `style` with the icon of its kind: an explicit icon stays; without one a question
// (wxYES_NO) gets wxICON_QUESTION and anything else wxICON_INFORMATION.
long MessageStyleWithIcon(long style);

// Who shows messages: the program installs its dialog, tests install a recorder.
// Without a handler the text is logged and the answer is wxOK, or wxNO for a question.
using MessageHandler = std::function<int(const wxString& text, long style)>;
void SetMessageHandler(MessageHandler handler);
