// The updater program's work for a portable copy: fetch the new version's archive
// and its Ed25519 signature, check the signature against the built-in key, unpack it
// beside the program folder, swap the folders once the program has ended, start the
// new version and keep the old one until it has started. Whatever goes wrong, the old
// version is started again and told why.
#pragma once

#include <wx/string.h>

#include <string>

struct SUpdaterOptions {
    wxString version;          // -VER: the version being replaced (logged)
    wxString url;              // -URL: the archive; its signature is at the same address + ".sig"
    bool automatic = false;    // -AUTO: no questions (this program never asks any)
    wxString programFolder;    // -DIR: the folder to replace; default the updater's own
    long waitSeconds = 30;     // -WAIT: how long the program that started us may take to end
    wxString caFile;           // -CAFILE: certificates of a private https server
    wxString programName = "vostrel";
    std::string publicKeyPem;  // the key archives must be signed with; empty: the built-in one
};

// Exit codes of the updater.
enum {
    UPDATE_OK = 0,
    UPDATE_BAD_ARGUMENTS = 1,
    UPDATE_DOWNLOAD_FAILED = 2,
    UPDATE_SIGNATURE_WRONG = 3,
    UPDATE_UNPACK_FAILED = 4,
    UPDATE_NOT_STARTED = 5  // the folders could not be swapped, or the new version did not start: the old one is back
};

// The option the old version is started with after a failed update, followed by the reason.
inline constexpr char kUpdateErrorOption[] = "-UpdateError";

// Reads "-VER v -URL u -AUTO [-DIR folder] [-WAIT seconds] [-CAFILE file]". False
// with `error` for anything else.
bool ParseUpdaterArguments(int argc, char** argv, SUpdaterOptions& options, wxString& error);

// The whole update; one of the exit codes above.
int RunUpdate(const SUpdaterOptions& options);

// Whether `signature` (64 bytes, as "openssl pkeyutl -sign -rawin" writes it) is an
// Ed25519 signature of the whole file `archive` by the key `publicKeyPem`. False with
// `why` otherwise; a file above 512 MiB is not read.
bool VerifyArchiveSignature(const wxString& archive, const wxString& signature, const std::string& publicKeyPem,
                            wxString& why);
// How much an archive may unpack to: a program folder is some hundred megabytes, and
// a small archive that unpacks to far more is a bomb, signed or not.
struct SUnpackLimits {
    uint64_t fileBytes = 192ull << 20;
    uint64_t totalBytes = 512ull << 20;
};
// Unpacks `archive` into the new folder `target`. Entries with absolute paths or
// ".." are refused, so nothing lands outside it; so is an entry or a whole beyond
// `limits`. False with `why` (when there is more to say than that it failed).
bool UnpackArchive(const wxString& archive, const wxString& target, wxString& why, const SUnpackLimits& limits = {});
