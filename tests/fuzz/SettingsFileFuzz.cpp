// The program's settings file "hbs.ini".
#include "FuzzHarness.h"
#include "app/AppSettings.h"
#include "hbds/hbds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const wxString path = WriteFuzzFile("hbs.ini", data, size);
    CAppSettings::GetInstance().LoadAppSettings(path);
    CAppSettings::ResetInstance();
    HBSetLogLevel(1);  // the file sets the log level
    return 0;
}
