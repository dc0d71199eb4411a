// What "vostrel-cli inventory" takes from a scanner's system information.
#pragma once

#include <wx/string.h>

#include <string>

// The value of the line of `systemInfo` whose label holds `label` ("Firmware" in
// "Firmware: V1.00.001"), case ignored; empty when there is none.
wxString SystemInfoValue(const wxString& systemInfo, const wxString& label);

// One field of a comma-separated line, quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
