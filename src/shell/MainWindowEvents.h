// Requests that pages send to the main window.
#pragma once

#include <wx/event.h>
#include <wx/window.h>

// A page asks the main window to go somewhere; GetInt() is the request
// (NAVIGATE_ONLINE and so on), GetClientData() its argument.
wxDECLARE_EVENT(EVT_VOSTREL_NAVIGATE, wxCommandEvent);
// The home page changed the language; the main window re-applies its texts.
wxDECLARE_EVENT(EVT_VOSTREL_TEXTS_CHANGED, wxCommandEvent);
// Perform a navigation item (GetInt() is the item, CVostrelDlg::ITEM_...); posted by
// the main window itself and, for the command search, by Ctrl+F in any page.
wxDECLARE_EVENT(EVT_VOSTREL_SELECT_ITEM, wxCommandEvent);

enum ENavigateRequest {
    NAVIGATE_ONLINE = 1,
    NAVIGATE_OFFLINE = 2,
    NAVIGATE_CONNECT = 5,
    NAVIGATE_CONFIGURE_MODEL = 10,
    NAVIGATE_COMMAND = 256,
    NAVIGATE_BATCH_UPGRADE = 257
};

// What a page does to ask its parent, the main window, to go somewhere.
inline void PostNavigateRequest(wxWindow* mainWindow, int request, void* argument = nullptr)
{
    if (!mainWindow)
        return;
    wxCommandEvent navigate(EVT_VOSTREL_NAVIGATE);
    navigate.SetInt(request);
    navigate.SetClientData(argument);
    wxPostEvent(mainWindow, navigate);
}
