// Requests that the parts of the configuration page send to it.
#pragma once

#include <wx/event.h>

// Show the setting whose definition (CCmdNameXmlInfo*) is the event's client data:
// bring its page forward and give its control the focus.
wxDECLARE_EVENT(EVT_VOSTREL_SHOW_SETTING, wxCommandEvent);
