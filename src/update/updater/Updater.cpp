#include "Updater.h"

#include "update/InetFile.h"
#include "update/updater/UpdateKey.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <zip.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

extern char** environ;

namespace {

// A new version that ends badly within this time did not start.
const auto kStartGrace = std::chrono::seconds(3);
const auto kPoll = std::chrono::milliseconds(100);
const uint64_t kMaxArchiveBytes = 512ull << 20;
const size_t kSignatureBytes = 64;

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

// What unpacking may still write, and why it stopped.
struct SUnpackBudget {
    SUnpackLimits limits;
    uint64_t written = 0;
    wxString why;
};

wxString MegabytesText(uint64_t bytes)
{
    return wxString::Format("%llu MB", static_cast<unsigned long long>(bytes >> 20));
}

// The sizes an entry declares are checked first and the bytes it really gives as they
// come, so that a lying header does not get past the limit either.
bool WithinBudget(SUnpackBudget& budget, const std::string& name, uint64_t entryBytes, uint64_t more)
{
    if (entryBytes > budget.limits.fileBytes) {
        budget.why = wxString::FromUTF8(name) + " unpacks to more than " + MegabytesText(budget.limits.fileBytes);
        return false;
    }
    if (budget.written + more > budget.limits.totalBytes) {
        budget.why = "the archive unpacks to more than " + MegabytesText(budget.limits.totalBytes);
        return false;
    }
    return true;
}

bool ExtractEntry(zip_t* zip, zip_uint64_t index, const fs::path& target, SUnpackBudget& budget)
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
    zip_stat_t declared;
    zip_stat_init(&declared);
    if (zip_stat_index(zip, index, 0, &declared) == 0 && (declared.valid & ZIP_STAT_SIZE) &&
        !WithinBudget(budget, name, declared.size, declared.size))
        return false;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> entry(zip_fopen_index(zip, index, 0), zip_fclose);
    std::ofstream out(path, std::ios::binary);
    if (!entry || !out)
        return false;
    char buffer[16384];
    zip_int64_t n = 0;
    uint64_t entryBytes = 0;
    while ((n = zip_fread(entry.get(), buffer, sizeof buffer)) > 0) {
        entryBytes += static_cast<uint64_t>(n);
        if (!WithinBudget(budget, name, entryBytes, static_cast<uint64_t>(n)))
            return false;
        budget.written += static_cast<uint64_t>(n);
        out.write(buffer, n);
    }
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

bool StartProgram(const fs::path& program, const std::vector<std::string>& arguments, pid_t& child);

bool StartAndWatch(const fs::path& program)
{
    pid_t child = 0;
    if (!StartProgram(program, {}, child))
        return false;
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

bool Fetch(const wxString& address, const fs::path& target, const SUpdaterOptions& options, uint64_t maxBytes,
           wxString& why)
{
    wxString shownText;
    CInetFile download(address, wxString::FromUTF8(target.string()));
    download.SetCaFile(options.caFile);
    download.SetMaxBytes(maxBytes);
    if (download.Download(shownText))
        return true;
    // The window's text is in the program's language, which the updater does not
    // load; its own messages stay in one language.
    const wxString error = download.GetFailureReason();
    why = "cannot fetch " + address + (error.empty() ? wxString() : " (" + error + ")");
    Report("%s", why);
    return false;
}

bool ReadWholeFile(const fs::path& path, uint64_t maxBytes, std::string& bytes)
{
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    if (error || size > maxBytes)
        return false;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(static_cast<size_t>(size), '\0');
    return in.read(bytes.data(), static_cast<std::streamsize>(size)) && in.gcount() == static_cast<std::streamsize>(size);
}

using PKeyPtr = std::unique_ptr<EVP_PKEY, void (*)(EVP_PKEY*)>;

PKeyPtr ReadEd25519Key(const std::string& pem)
{
    std::unique_ptr<BIO, int (*)(BIO*)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
    PKeyPtr key(bio ? PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr) : nullptr, EVP_PKEY_free);
    if (key && EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        key.reset();
    return key;
}

// Started detached from us, so that it outlives the updater; its output is the user's.
bool StartProgram(const fs::path& program, const std::vector<std::string>& arguments, pid_t& child)
{
    const std::string path = program.string();
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        Report("cannot start %s", wxString::FromUTF8(path));
        return false;
    }
    return true;
}

// The old version comes back with the reason, which it shows; the user is never left
// without a program.
void StartOldVersion(const fs::path& folder, const SUpdaterOptions& options, const wxString& why)
{
    pid_t child = 0;
    StartProgram(folder / ToPath(options.programName), {kUpdateErrorOption, std::string(why.utf8_str())}, child);
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
        } else if (argument == "-CAFILE" && hasValue) {
            options.caFile = wxString::FromUTF8(argv[++i]);
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

bool VerifyArchiveSignature(const wxString& archive, const wxString& signature, const std::string& publicKeyPem,
                            wxString& why)
{
    const PKeyPtr key = ReadEd25519Key(publicKeyPem);
    if (!key) {
        why = "this copy has no usable update key, so it takes no archive";
        return false;
    }
    std::string signatureBytes;
    std::string archiveBytes;
    if (!ReadWholeFile(ToPath(signature), kSignatureBytes, signatureBytes) || signatureBytes.size() != kSignatureBytes) {
        why = "the archive's signature is missing or malformed";
        return false;
    }
    if (!ReadWholeFile(ToPath(archive), kMaxArchiveBytes, archiveBytes)) {
        why = "the archive cannot be read or is too large";
        return false;
    }
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    // Ed25519 signs the message itself, so no digest is named and the check is one call.
    const bool valid = context && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
                       EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signatureBytes.data()),
                                        signatureBytes.size(), reinterpret_cast<const unsigned char*>(archiveBytes.data()),
                                        archiveBytes.size()) == 1;
    if (!valid)
        why = "the archive's signature is not valid: it was not made with the release key, or the archive was changed";
    return valid;
}

bool UnpackArchive(const wxString& archive, const wxString& target, wxString& why, const SUnpackLimits& limits)
{
    int error = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> zip(zip_open(archive.utf8_str(), ZIP_RDONLY, &error), zip_discard);
    if (!zip)
        return false;
    const fs::path folder = ToPath(target);
    std::error_code created;
    fs::create_directories(folder, created);
    SUnpackBudget budget;
    budget.limits = limits;
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (!ExtractEntry(zip.get(), static_cast<zip_uint64_t>(i), folder, budget)) {
            why = budget.why;
            return false;
        }
    }
    return count > 0;
}

namespace {

// Fetches, checks and unpacks the new version into `staging`; on failure `why` tells
// why and nothing of the program folder has changed.
int PrepareNewVersion(const SUpdaterOptions& options, const fs::path& folder, const fs::path& staging, wxString& why)
{
    const fs::path archive = Sibling(folder, ".download.zip");
    const fs::path signature = Sibling(folder, ".download.sig");
    std::error_code error;
    struct SRemover {
        std::vector<fs::path> files;
        ~SRemover()
        {
            std::error_code ignored;
            for (const fs::path& file : files)
                fs::remove(file, ignored);
        }
    } downloads{{archive, signature}};

    if (!Fetch(options.url, archive, options, kMaxArchiveBytes, why) ||
        !Fetch(options.url + ".sig", signature, options, kSignatureBytes, why))
        return UPDATE_DOWNLOAD_FAILED;
    const std::string key = options.publicKeyPem.empty() ? std::string(kBuiltInUpdateKeyPem) : options.publicKeyPem;
    if (!VerifyArchiveSignature(wxString::FromUTF8(archive.string()), wxString::FromUTF8(signature.string()), key, why)) {
        Report("%s; nothing was changed", why);
        return UPDATE_SIGNATURE_WRONG;
    }
    fs::remove_all(staging, error);
    wxString unpackProblem;
    if (!UnpackArchive(wxString::FromUTF8(archive.string()), wxString::FromUTF8(staging.string()), unpackProblem) ||
        !fs::exists(staging / ToPath(options.programName)) || !CarryOverOwnFiles(folder, staging)) {
        why = unpackProblem.empty() ? wxString("the archive does not unpack into a program folder") : unpackProblem;
        Report("%s; nothing was changed", why);
        fs::remove_all(staging, error);
        return UPDATE_UNPACK_FAILED;
    }
    return UPDATE_OK;
}

}  // namespace

int RunUpdate(const SUpdaterOptions& options)
{
    const pid_t starter = getppid();
    const fs::path folder = WithoutTrailingSeparator(ToPath(options.programFolder));
    const fs::path staging = Sibling(folder, ".new");
    const fs::path old = Sibling(folder, ".old");
    Report("replacing version %s", options.version);

    wxString why;
    int result = PrepareNewVersion(options, folder, staging, why);
    // The program that started us ends itself once we run; only then is its folder
    // swapped, or is it started again.
    WaitForStarterToEnd(starter, options.waitSeconds);
    if (result == UPDATE_OK && !SwapFolders(folder, staging, old)) {
        std::error_code error;
        fs::remove_all(staging, error);
        why = "the program folder cannot be replaced";
        result = UPDATE_NOT_STARTED;
    } else if (result == UPDATE_OK && !StartAndWatch(folder / ToPath(options.programName))) {
        Report("the new version did not start; the old one is back");
        RestoreOldVersion(folder, old);
        why = "the new version did not start";
        result = UPDATE_NOT_STARTED;
    }
    if (result != UPDATE_OK) {
        StartOldVersion(folder, options, why);
        return result;
    }
    std::error_code error;
    fs::remove_all(old, error);
    return UPDATE_OK;
}
