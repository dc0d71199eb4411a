// What the user is told after a write the scanner did not take.
#pragma once

#include <wx/string.h>

class CCmdNameXmlInfo;

// The refused commands, with `namesValues` also their captions, values and why.
wxString FailedWriteText(bool namesValues = false);
// Why the scanner did not take `setting`; `entry` is the engine's error entry for it.
wxString FailureReason(const CCmdNameXmlInfo& setting, const wxString& entry);
