#include "SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemReason()
{
    return std::strerror(errno);
}

// What a path is when it is no regular file, in a user's words.
std::string KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no regular file";
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A symbolic link is written through: the file it points at is the target.
bool FollowLink(const std::string& path, std::string& target, std::string& error)
{
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) {
        error = path + " is a symbolic link to nothing that exists; it is kept (name its target instead)";
        return false;
    }
    target = resolved;
    return true;
}

bool CheckExistingTarget(const std::string& path, const struct stat& status, std::string& error)
{
    if (!S_ISREG(status.st_mode)) {
        error = path + " is " + KindOf(status.st_mode) + ", not a file that can be written";
        return false;
    }
    // root may write anything, so the mode bits decide what the user meant.
    if ((status.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) {
        error = path + " is read-only; it is kept";
        return false;
    }
    if (status.st_nlink > 1) {
        error = path + " has other hard links, which a replacement would split off; it is kept";
        return false;
    }
    if (geteuid() != 0 && status.st_uid != geteuid()) {
        error = path + " belongs to another user, who would lose it; it is kept";
        return false;
    }
    return true;
}

// The mode a new file gets: what the user's umask leaves of rw-rw-rw-.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Gives the finished temporary file the old file's mode and owner (or a new file's
// mode) and makes sure its bytes are on disk before it takes the name.
bool SealTemporary(int descriptor, const std::string& target, std::string& error)
{
    struct stat old {};
    const bool replacing = stat(target.c_str(), &old) == 0;
    const mode_t mode = replacing ? (old.st_mode & 07777) : NewFileMode();
    if (fchmod(descriptor, mode) != 0 || fsync(descriptor) != 0) {
        error = "cannot write " + target + ": " + SystemReason();
        return false;
    }
    if (replacing && (old.st_uid != geteuid() || old.st_gid != getegid()) &&
        fchown(descriptor, old.st_uid, old.st_gid) != 0 && old.st_uid != geteuid()) {
        error = "cannot keep the owner of " + target + ": " + SystemReason();
        return false;
    }
    return true;
}

bool WriteAll(int descriptor, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

}  // namespace

bool ResolveWriteTarget(const std::string& path, std::string& target, std::string& error)
{
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            error = "cannot write " + path + ": " + SystemReason();
            return false;
        }
        target = path;
        return true;
    }
    target = path;
    if (S_ISLNK(status.st_mode) && (!FollowLink(path, target, error) || stat(target.c_str(), &status) != 0))
        return false;
    return CheckExistingTarget(path, status, error);
}

bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string& error)
{
    std::string target;
    if (!ResolveWriteTarget(path, target, error))
        return false;
    // Hidden and beside the target, so that the rename stays on one file system.
    std::string temporary = FolderOf(target) + "/." + BaseOf(target) + ".XXXXXX";
    const int descriptor = mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot write " + path + ": " + SystemReason();
        return false;
    }
    bool done = WriteAll(descriptor, bytes);
    if (!done)
        error = "cannot write " + path + ": " + SystemReason();
    done = done && SealTemporary(descriptor, target, error);
    if (close(descriptor) != 0 && done) {
        error = "cannot write " + path + ": " + SystemReason();
        done = false;
    }
    if (done && rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot write " + path + ": " + SystemReason();
        done = false;
    }
    if (!done)
        unlink(temporary.c_str());
    return done;
}

bool IsSameFile(const std::string& first, const std::string& second)
{
    struct stat a {};
    struct stat b {};
    return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CheckInputFile(const std::string& path, uint64_t maxBytes, std::string& error)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = "cannot read " + path + ": " + SystemReason();
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = path + " is " + KindOf(status.st_mode) + ", not a file that can be read";
        return false;
    }
    if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        error = path + " is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    return true;
}

bool ReadInputFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& error)
{
    if (!CheckInputFile(path, maxBytes, error))
        return false;
    // Non-blocking, so that a FIFO put in the file's place since the check cannot hang
    // the open; the read stops one byte past the limit whatever the file has become.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        error = "cannot read " + path + ": " + SystemReason();
        return false;
    }
    bytes.clear();
    char buffer[65536];
    ssize_t count = 0;
    while ((count = read(descriptor, buffer, sizeof buffer)) > 0 && bytes.size() <= maxBytes)
        bytes.append(buffer, static_cast<size_t>(count));
    const bool failed = count < 0;
    close(descriptor);
    if (failed || bytes.size() > maxBytes) {
        error = failed ? "cannot read " + path + ": " + SystemReason() : path + " is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    return true;
}
