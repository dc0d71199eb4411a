#include "GuiTestSupport.h"

#include "AppContext.h"
#include "CmdGetRangeLenMnt.h"
#include "ControlFactory.h"
#include "ControlMnt.h"
#include "CreateObject.h"
#include "DeviceCmdNameMntXmlInfo.h"
#include "PageMntXmlInfo.h"
#include "PendingChangeList.h"
#include "SaveCfg.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/window.h>

#include <filesystem>

void SaveScreenshot(wxWindow* window, const char* name)
{
    wxYield();
    window->Update();
    const wxSize size = window->GetClientSize();
    wxBitmap bitmap(size);
    wxMemoryDC memory(bitmap);
    wxClientDC screen(window);
    memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    memory.SelectObject(wxNullBitmap);
    std::filesystem::create_directories("screenshots");
    bitmap.SaveFile(wxString("screenshots/") + name, wxBITMAP_TYPE_PNG);
}

void ResetPageSingletons()
{
    CPageMntXmlInfo::ResetInstance();
    CPendingChangeList::ResetInstance();
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    CCmdGetRangeLenMnt::ResetInstance();
    CSaveCfg::ResetInstance();
    CAppContext::ResetInstance();
    CWindowControlFactory::ResetInstance();
    CControlMnt::ResetInstance();
    CCreateObject::ResetInstance();
    SetControlFactory(nullptr);
}
