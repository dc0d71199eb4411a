#include "PrinterSetting.h"

#include "AppContext.h"
#include "AppSettings.h"

#include <wx/fileconf.h>
#include <wx/log.h>

#include <memory>

namespace {

const char kPrinterKey[] = "/cfg/print";

wxString SettingsPath()
{
    const wxString& loaded = CAppSettings::GetInstance().GetPath();
    return loaded.empty() ? CAppContext::GetInstance().GetProgramDirectory() + "hbs.ini" : loaded;
}

std::unique_ptr<wxFileConfig> OpenSettings()
{
    return std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, SettingsPath(), wxEmptyString,
                                          wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_NO_ESCAPE_CHARACTERS);
}

}  // namespace

wxString LoadPrinterName()
{
    wxLogNull quiet;
    return OpenSettings()->Read(kPrinterKey, wxString());
}

bool SavePrinterName(const wxString& name)
{
    wxLogNull quiet;
    auto settings = OpenSettings();
    settings->Write(kPrinterKey, name);
    return settings->Flush();
}
