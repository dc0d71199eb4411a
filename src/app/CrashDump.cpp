#include "CrashDump.h"

#include "Log.h"
#include "hbds/hbds_signal.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// Everything the handler needs is prepared here at install time. The handler itself
// calls only async-signal-safe functions: the crash may have hit while the log's
// lock, the allocator's or the time zone's was held, and taking one again would hang
// instead of writing the dump.
char g_pathStem[4096 + 261];  // "<program directory>dump/<prefix>"
char g_reporter[4096];
char g_language[64] = "CN";

void CopyTo(char* out, size_t room, const wxString& text)
{
    std::snprintf(out, room, "%s", static_cast<const char*>(text.utf8_str()));
}

void WriteText(int fd, const char* text)
{
    ssize_t ignored = write(fd, text, std::strlen(text));
    (void)ignored;
}

void WriteDump(int fd, int signalNumber)
{
    char head[128] = "Vostrel crash dump\nsignal ";
    hbds_append_decimal(head, sizeof head, signalNumber, 1);
    hbds_append_text(head, sizeof head, "\npid ");
    hbds_append_decimal(head, sizeof head, static_cast<long>(getpid()), 1);
    hbds_append_text(head, sizeof head, "\n\nbacktrace:\n");
    WriteText(fd, head);
    // backtrace() is safe here once its unwinder is loaded, which install time did.
    void* frames[128];
    const int depth = backtrace(frames, 128);
    backtrace_symbols_fd(frames, depth, fd);
}

bool StartReporter(const char* dumpPath)
{
    if (access(g_reporter, X_OK) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        // Detach so that the reporter outlives this process.
        setsid();
        if (fork() == 0) {
            char* const argv[] = {g_reporter, const_cast<char*>(dumpPath), g_language, nullptr};
            execv(g_reporter, argv);
        }
        _exit(0);
    }
    if (child < 0)
        return false;
    int status = 0;
    waitpid(child, &status, 0);
    return true;
}

void MakeDumpPath(char* path, size_t room)
{
    std::tm local{};
    hbds_local_time_from_signal(&local);
    path[0] = '\0';
    hbds_append_text(path, room, g_pathStem);
    hbds_append_decimal(path, room, local.tm_year + 1900, 4);
    hbds_append_decimal(path, room, local.tm_mon + 1, 2);
    hbds_append_decimal(path, room, local.tm_mday, 2);
    hbds_append_text(path, room, "-");
    hbds_append_decimal(path, room, local.tm_hour, 2);
    hbds_append_decimal(path, room, local.tm_min, 2);
    hbds_append_decimal(path, room, local.tm_sec, 2);
    hbds_append_text(path, room, ".dmp");
}

void OnFatalSignal(int signalNumber)
{
    char path[sizeof g_pathStem + 32];
    MakeDumpPath(path, sizeof path);
    hbds_log_line_from_signal(LOG_DETAIL, "CrashDump.cpp", __LINE__, path);
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        WriteDump(fd, signalNumber);
        close(fd);
        if (StartReporter(path))
            _exit(0);
    }
    // Hand the signal on to the system's default action.
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

}  // namespace

wxString MakeDumpPrefix(const wxString& applicationName)
{
    wxString prefix = applicationName;
    prefix.Replace(".", "-");
    prefix.Replace(" ", "_");
    return prefix;
}

wxString MakeDumpFileName(const wxString& prefix, const std::tm& when)
{
    return wxString::Format("%s%04d%02d%02d-%02d%02d%02d.dmp", prefix, when.tm_year + 1900, when.tm_mon + 1,
                            when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
}

void InstallCrashHandler(const wxString& programDirectory, const wxString& applicationName,
                         const wxString& stateDirectory)
{
    const wxString& dumpParent = stateDirectory.empty() ? programDirectory : stateDirectory;
    CopyTo(g_pathStem, sizeof g_pathStem, dumpParent + "dump/" + MakeDumpPrefix(applicationName.Left(260)));
    CopyTo(g_reporter, sizeof g_reporter, programDirectory + "VostrelCrashReporter");
    // backtrace() loads its unwinder on first use; do that now, not in the handler.
    void* warmUp[1];
    backtrace(warmUp, 1);

    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signalNumber : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(signalNumber, &action, nullptr);
}

void SetCrashReportLanguage(const wxString& code)
{
    CopyTo(g_language, sizeof g_language, code);
}
