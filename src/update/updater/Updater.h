// The updater program's work: fetch the new version's archive and its checksum,
// unpack it beside the program folder, swap the folders once the program has
// ended, start the new version and keep the old one until it has started.
#pragma once

#include <wx/string.h>

struct SUpdaterOptions {
    wxString version;          // -VER: the version being replaced (logged)
    wxString url;              // -URL: the archive; its checksum is at the same address + ".sha256"
    bool automatic = false;    // -AUTO: no questions (this program never asks any)
    wxString programFolder;    // -DIR: the folder to replace; default the updater's own
    long waitSeconds = 30;     // -WAIT: how long the program that started us may take to end
    wxString programName = "vostrel";
};

// Exit codes of the updater.
enum {
    UPDATE_OK = 0,
    UPDATE_BAD_ARGUMENTS = 1,
    UPDATE_DOWNLOAD_FAILED = 2,
    UPDATE_CHECKSUM_WRONG = 3,
    UPDATE_UNPACK_FAILED = 4,
    UPDATE_NOT_STARTED = 5  // the folders could not be swapped, or the new version did not start: the old one is back
};

// Reads "-VER v -URL u -AUTO [-DIR folder] [-WAIT seconds]". False with `error` for
// anything else.
bool ParseUpdaterArguments(int argc, char** argv, SUpdaterOptions& options, wxString& error);

// The whole update; one of the exit codes above.
int RunUpdate(const SUpdaterOptions& options);

// The SHA-256 of a file as lower-case hexadecimal; empty when it cannot be read.
wxString FileSha256(const wxString& path);
// The checksum a ".sha256" file gives: its first word when that is 64 hexadecimal
// digits (as sha256sum writes it), in lower case; otherwise empty.
wxString ChecksumFromText(const wxString& text);
// Unpacks `archive` into the new folder `target`. Entries with absolute paths or
// ".." are refused, so nothing lands outside it.
bool UnpackArchive(const wxString& archive, const wxString& target);
