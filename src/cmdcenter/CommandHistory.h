// The commands typed into the terminal, kept between runs in "cmdcenter.history"
// beside the program: one command per line, UTF-8, oldest first.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

class CCommandHistory {
public:
    static constexpr size_t kMostKept = 200;

    // "cmdcenter.history" in the program directory.
    static wxString DefaultPath();

    // An unreadable or missing file gives an empty list.
    static wxArrayString Load(const wxString& path);
    // Keeps the newest kMostKept commands; false when the file cannot be written.
    static bool Save(const wxString& path, const wxArrayString& commands);
};
