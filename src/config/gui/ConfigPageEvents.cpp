#include "ConfigPageEvents.h"

wxDEFINE_EVENT(EVT_VOSTREL_SHOW_SETTING, wxCommandEvent);
