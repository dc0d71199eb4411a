#include "GuiTestSupport.h"

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
