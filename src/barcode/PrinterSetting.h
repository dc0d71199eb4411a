// The printer the barcode sheets go to: key "print" of section "cfg" in "hbs.ini".
#pragma once

#include <wx/string.h>

// The stored printer's device name, or empty when none was chosen yet.
wxString LoadPrinterName();
// False when the settings file cannot be written.
bool SavePrinterName(const wxString& name);
