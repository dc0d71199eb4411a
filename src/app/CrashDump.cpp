#include "CrashDump.h"

#include "Log.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// Everything the handler needs is prepared here at install time: a signal handler
// must not allocate.
char g_dumpFolder[4096];
char g_prefix[261];
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
    char line[128];
    std::snprintf(line, sizeof line, "Vostrel crash dump\nsignal %d (%s)\npid %d\n\nbacktrace:\n", signalNumber,
                  strsignal(signalNumber), static_cast<int>(getpid()));
    WriteText(fd, line);
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

void OnFatalSignal(int signalNumber)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char path[4096 + 300];
    std::snprintf(path, sizeof path, "%s/%s%04d%02d%02d-%02d%02d%02d.dmp", g_dumpFolder, g_prefix,
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    logout_line(LOG_DETAIL, "CrashDump.cpp", __LINE__, "%s", path);
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

void InstallCrashHandler(const wxString& programDirectory, const wxString& applicationName)
{
    wxString folder = programDirectory + "dump";
    CopyTo(g_dumpFolder, sizeof g_dumpFolder, folder);
    CopyTo(g_prefix, sizeof g_prefix, MakeDumpPrefix(applicationName.Left(260)));
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
