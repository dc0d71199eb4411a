// Settings files in the INI form ("hbs.ini", "server.cfg", "Firmupdate.ini",
// ...). Values are taken as written: a backslash or a quote is part of the
// value, as the scanner tools that share these files expect.
#pragma once

#include <wx/fileconf.h>
#include <wx/string.h>

#include <memory>

// The entries of the file at `path`; empty when it is missing or unreadable. A
// line with no name before its "=", and a section whose header is broken or
// repeats an earlier one, are passed over: wxFileConfig cannot hold them and
// would stop the program with an assertion.
std::unique_ptr<wxFileConfig> ReadIniFile(const wxString& path);

// Writes `ini` to `path` through a temporary file, so a failed write leaves the
// old file whole. False when it could not be written.
bool WriteIniFile(wxFileConfig& ini, const wxString& path);
