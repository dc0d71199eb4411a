#include "Updater.h"

#include "InetFile.h"

#include <openssl/evp.h>
#include <zip.h>

#include <wx/ffile.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace fs = std::filesystem;

extern char** environ;

namespace {

// A new version that ends badly within this time did not start.
const auto kStartGrace = std::chrono::seconds(3);
const auto kPoll = std::chrono::milliseconds(100);

void Report(const char* format, const wxString& detail = wxString())
{
    std::fprintf(stderr, "vostrel-update: ");
    std::fprintf(stderr, format, static_cast<const char*>(detail.utf8_str()));
    std::fprintf(stderr, "\n");
}

fs::path ToPath(const wxString& text)
{
    return fs::path(std::string(text.utf8_str()));
}

fs::path WithoutTrailingSeparator(fs::path folder)
{
    return folder.has_filename() ? folder : folder.parent_path();
}

fs::path Sibling(const fs::path& folder, const char* suffix)
{
    return folder.parent_path() / (folder.filename().string() + suffix);
}

bool IsSafeEntryName(const std::string& name)
{
    if (name.empty() || name.front() == '/')
        return false;
    for (const auto& part : fs::path(name)) {
        if (part == "..")
            return false;
    }
    return true;
}

// Unix permission bits of an entry, when the archive was made on a Unix system.
bool EntryMode(zip_t* zip, zip_uint64_t index, fs::perms& mode)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0 || system != ZIP_OPSYS_UNIX)
        return false;
    mode = static_cast<fs::perms>((attributes >> 16) & 0777);
    return mode != fs::perms::none;
}

bool ExtractEntry(zip_t* zip, zip_uint64_t index, const fs::path& target)
{
    const char* rawName = zip_get_name(zip, index, 0);
    const std::string name = rawName ? rawName : "";
    if (!IsSafeEntryName(name)) {
        Report("refusing the archive entry %s", wxString::FromUTF8(name));
        return false;
    }
    const fs::path path = target / name;
    std::error_code error;
    if (name.back() == '/')
        return fs::create_directories(path, error) || !error;
    fs::create_directories(path.parent_path(), error);
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> entry(zip_fopen_index(zip, index, 0), zip_fclose);
    std::ofstream out(path, std::ios::binary);
    if (!entry || !out)
        return false;
    char buffer[16384];
    zip_int64_t n = 0;
    while ((n = zip_fread(entry.get(), buffer, sizeof buffer)) > 0)
        out.write(buffer, n);
    out.close();
    if (n < 0 || !out)
        return false;
    fs::perms mode;
    if (EntryMode(zip, index, mode))
        fs::permissions(path, mode, error);
    return true;
}

// What the user keeps beside the program (settings, logs, saved pictures) and the
// archive does not bring comes along into the new folder.
bool CarryOverOwnFiles(const fs::path& oldFolder, const fs::path& newFolder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(oldFolder, error)) {
        const fs::path target = newFolder / entry.path().filename();
        if (fs::exists(target))
            continue;
        fs::copy(entry.path(), target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
        if (error) {
            Report("cannot carry over %s", wxString::FromUTF8(entry.path().string()));
            return false;
        }
    }
    return !error;
}

// The program that started us ends itself once we run; the folder is swapped after that.
void WaitForStarterToEnd(pid_t starter, long seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (getppid() == starter && starter > 1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(kPoll);
}

bool StartAndWatch(const fs::path& program)
{
    const std::string path = program.string();
    char* const args[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, args, environ) != 0) {
        Report("cannot start %s", wxString::FromUTF8(path));
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + kStartGrace;
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        std::this_thread::sleep_for(kPoll);
    }
    return true;  // still running: it has started
}

bool SwapFolders(const fs::path& folder, const fs::path& staging, const fs::path& old)
{
    std::error_code error;
    fs::remove_all(old, error);
    fs::rename(folder, old, error);
    if (error) {
        Report("cannot move the program folder aside: %s", wxString::FromUTF8(error.message()));
        return false;
    }
    fs::rename(staging, folder, error);
    if (error) {
        Report("cannot move the new version in: %s", wxString::FromUTF8(error.message()));
        fs::rename(old, folder, error);
        return false;
    }
    return true;
}

void RestoreOldVersion(const fs::path& folder, const fs::path& old)
{
    std::error_code error;
    const fs::path failed = Sibling(folder, ".failed");
    fs::remove_all(failed, error);
    fs::rename(folder, failed, error);
    fs::rename(old, folder, error);
    fs::remove_all(failed, error);
}

bool Fetch(const wxString& address, const fs::path& target)
{
    wxString error;
    CInetFile download(address, wxString::FromUTF8(target.string()));
    if (download.Download(error))
        return true;
    Report("cannot fetch %s", address + (error.empty() ? wxString() : " (" + error + ")"));
    return false;
}

wxString ReadSmallText(const fs::path& path)
{
    wxFFile file(wxString::FromUTF8(path.string()), "rb");
    wxString text;
    if (!file.IsOpened() || file.Length() > 4096 || !file.ReadAll(&text, wxConvUTF8))
        return wxString();
    return text;
}

}  // namespace

bool ParseUpdaterArguments(int argc, char** argv, SUpdaterOptions& options, wxString& error)
{
    for (int i = 1; i < argc; ++i) {
        const wxString argument = wxString::FromUTF8(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (argument == "-AUTO") {
            options.automatic = true;
        } else if (argument == "-VER" && hasValue) {
            options.version = wxString::FromUTF8(argv[++i]);
        } else if (argument == "-URL" && hasValue) {
            options.url = wxString::FromUTF8(argv[++i]);
        } else if (argument == "-DIR" && hasValue) {
            options.programFolder = wxString::FromUTF8(argv[++i]);
        } else if (argument == "-WAIT" && hasValue && wxString::FromUTF8(argv[i + 1]).ToLong(&options.waitSeconds) &&
                   options.waitSeconds >= 0) {
            ++i;
        } else {
            error = "unknown or incomplete argument: " + argument;
            return false;
        }
    }
    if (options.url.empty()) {
        error = "-URL is missing";
        return false;
    }
    return true;
}

wxString FileSha256(const wxString& path)
{
    std::ifstream in(ToPath(path), std::ios::binary);
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!in || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return wxString();
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        EVP_DigestUpdate(context.get(), buffer, static_cast<size_t>(in.gcount()));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (in.bad() || EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return wxString();
    wxString hex;
    for (unsigned int i = 0; i < length; ++i)
        hex += wxString::Format("%02x", digest[i]);
    return hex;
}

wxString ChecksumFromText(const wxString& text)
{
    const wxString word = text.Strip(wxString::both).BeforeFirst(' ').BeforeFirst('\t').BeforeFirst('\n').Lower();
    if (word.length() != 64 || !word.IsAscii())
        return wxString();
    for (wxUniChar c : word) {
        if (!std::isxdigit(static_cast<unsigned char>(c.GetValue())))
            return wxString();
    }
    return word;
}

bool UnpackArchive(const wxString& archive, const wxString& target)
{
    int error = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> zip(zip_open(archive.utf8_str(), ZIP_RDONLY, &error), zip_discard);
    if (!zip)
        return false;
    const fs::path folder = ToPath(target);
    std::error_code created;
    fs::create_directories(folder, created);
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (!ExtractEntry(zip.get(), static_cast<zip_uint64_t>(i), folder))
            return false;
    }
    return count > 0;
}

int RunUpdate(const SUpdaterOptions& options)
{
    const pid_t starter = getppid();
    const fs::path folder = WithoutTrailingSeparator(ToPath(options.programFolder));
    const fs::path staging = Sibling(folder, ".new");
    const fs::path old = Sibling(folder, ".old");
    const fs::path archive = Sibling(folder, ".download.zip");
    const fs::path checksumFile = Sibling(folder, ".download.sha256");
    std::error_code error;
    const auto cleanUp = [&] {
        fs::remove(archive, error);
        fs::remove(checksumFile, error);
        fs::remove_all(staging, error);
    };
    Report("replacing version %s", options.version);

    if (!Fetch(options.url, archive) || !Fetch(options.url + ".sha256", checksumFile)) {
        cleanUp();
        return UPDATE_DOWNLOAD_FAILED;
    }
    const wxString expected = ChecksumFromText(ReadSmallText(checksumFile));
    if (expected.empty() || FileSha256(wxString::FromUTF8(archive.string())) != expected) {
        Report("the archive's checksum is wrong; nothing was changed");
        cleanUp();
        return UPDATE_CHECKSUM_WRONG;
    }
    fs::remove_all(staging, error);
    if (!UnpackArchive(wxString::FromUTF8(archive.string()), wxString::FromUTF8(staging.string())) ||
        !fs::exists(staging / ToPath(options.programName)) || !CarryOverOwnFiles(folder, staging)) {
        Report("the archive cannot be unpacked into a program folder; nothing was changed");
        cleanUp();
        return UPDATE_UNPACK_FAILED;
    }
    fs::remove(archive, error);
    fs::remove(checksumFile, error);

    WaitForStarterToEnd(starter, options.waitSeconds);
    if (!SwapFolders(folder, staging, old)) {
        cleanUp();
        return UPDATE_NOT_STARTED;
    }
    if (!StartAndWatch(folder / ToPath(options.programName))) {
        Report("the new version did not start; the old one is back");
        RestoreOldVersion(folder, old);
        return UPDATE_NOT_STARTED;
    }
    fs::remove_all(old, error);
    return UPDATE_OK;
}
