// What a window does when it needs the scanner line and another part has it: it
// waits a moment for a single exchange to end, and otherwise tells the user what
// holds the line, offering to stop it where that part can be stopped.
#pragma once

#include "LineOwner.h"

#include <wx/string.h>

// How long a window waits, without a word, for another part's single exchange.
constexpr uint32_t kLineShortWaitMs = 1500;

// The message for a line that `holder` (its text) keeps busy.
wxString LineBusyText(const wxString& holder);

// Before a window hands an exchange to a worker that will wait for the line: true
// when the line is free, or becomes free shortly, or its holder cannot be stopped
// (the worker then waits for it under the wait dialog); when it can be stopped the
// user is asked, and a yes asks it to stop. `action` completes "stop it to ...".
bool MakeWayForLine(CLineOwner& line, const wxString& action);

// For an exchange on the window's own thread: the line within the short wait, or
// empty after telling the user what holds it.
CLineHold TakeLineForWindow(CLineOwner& line, const SLineUser& user);
