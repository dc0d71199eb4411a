// What a window does when it needs the scanner line and another part has it: it
// never waits for it, but tells the user what holds the line, offering to stop it
// where that part can be stopped.
#pragma once

#include "LineOwner.h"

#include <wx/string.h>

// The message for a line that `holder` (its text) keeps busy.
wxString LineBusyText(const wxString& holder);

// Before a window queues an exchange: true when the line is free or its holder
// cannot be stopped (the job then waits its turn); when it can be stopped the user
// is asked, and a yes asks it to stop. `action` completes "stop it to ...".
bool MakeWayForLine(CLineOwner& line, const wxString& action);
