#include "PrinterSetting.h"

#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/IniFile.h"

#include <wx/fileconf.h>
#include <wx/log.h>

#include <memory>

namespace {

const char kPrinterKey[] = "/cfg/print";

wxString SettingsPath()
{
    const wxString& loaded = CAppSettings::GetInstance().GetPath();
    return loaded.empty() ? CAppContext::GetInstance().GetSettingsFile("hbs.ini") : loaded;
}

}  // namespace

wxString LoadPrinterName()
{
    return ReadIniFile(SettingsPath())->Read(kPrinterKey, wxString());
}

bool SavePrinterName(const wxString& name)
{
    const wxString path = SettingsPath();
    auto settings = ReadIniFile(path);
    settings->Write(kPrinterKey, name);
    return WriteIniFile(*settings, path);
}
