// The small decisions of start-up, kept apart from the windows that act on them.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

// A screen of at least 800 by 545 pixels is large enough.
bool IsScreenLargeEnough(int width, int height);

// "a.b.c.d" from the version built into the program; "1.0.0.5" when it is empty or
// not four numbers of 0 to 65535.
wxString FormatProgramVersion(const wxString& builtIn);

// The version as the window title shows it: "a.b.c" when d is 0, else "a.b.c.Bd";
// ".Rescue" appended in rescue mode.
wxString FormatTitleVersion(const wxString& programVersion, bool rescueMode);

// 2052 for the language code "CN" in any letter case, else 1033.
int UiLanguageIdFor(const wxString& languageCode);

struct SUiFontChoice {
    wxString face;
    int height = 0;       // pixel height of the UI font
    int titleHeight = 0;  // pixel height of the large title font
};

// "微软雅黑" at 18 (title 24) when it or "Microsoft YaHei" is installed, else "Arial" at 16
// (title 18).
SUiFontChoice ChooseUiFont(const wxArrayString& installedFaces);

struct SCommandLineFiles {
    wxString outputFile;         // after "-File"
    wxString configurationFile;  // after "-Xml"
    wxString updateError;        // after "-UpdateError": why the updater brought this version back
};

// Scans arguments 1 to n-1; "-File" and "-Xml" in any letter case take the next argument.
SCommandLineFiles ScanCommandLine(const wxArrayString& arguments);
