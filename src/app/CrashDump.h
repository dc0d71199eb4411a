// The crash-dump writer: on a fatal signal it writes a dump file under "dump/"
// beside the program and starts the crash reporter when there is one.
#pragma once

#include <wx/string.h>

#include <ctime>

// The application name with every "." replaced by "-" and every blank by "_".
wxString MakeDumpPrefix(const wxString& applicationName);
// "<prefix>YYYYMMDD-HHMMSS.dmp" for the local time `when`.
wxString MakeDumpFileName(const wxString& prefix, const std::tm& when);

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT. The dump
// goes to "<stateDirectory>dump/" (the program directory when none is given); the
// reporter "VostrelCrashReporter" in the program directory is started with the dump
// path and the current language code, after which the process ends with code 0.
// Without a reporter the signal goes on to the system.
void InstallCrashHandler(const wxString& programDirectory, const wxString& applicationName,
                         const wxString& stateDirectory = wxString());
// The language code handed to the reporter; kept current by the language change.
void SetCrashReportLanguage(const wxString& code);
