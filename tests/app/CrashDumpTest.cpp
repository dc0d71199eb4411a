#include "app/CrashDump.h"

#include "hbds/hbds.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <wx/datetime.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::vector<std::string> DumpFiles(const CTempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(dir.File("dump").utf8_str())))
        names.push_back(entry.path().filename().string());
    return names;
}

const int kHung = -1;

// True while thread `id` of this process waits in openat (the kernel names the system
// call a blocked thread is in).
bool IsBlockedInOpen(pid_t id)
{
    std::ifstream syscall("/proc/self/task/" + std::to_string(id) + "/syscall");
    long number = -1;
    return syscall >> number && number == SYS_openat;
}

// Crashes a child process that installed the handler for `dir` after `beforeCrash`;
// returns its wait status, or kHung when it had not ended after five seconds.
int CrashChild(const CTempDir& dir, const char* applicationName,
               const std::function<void()>& beforeCrash = [] {})
{
    std::filesystem::create_directory(std::string(dir.File("dump").utf8_str()));
    const pid_t child = fork();
    if (child == 0) {
        InstallCrashHandler(dir.Path(), applicationName);
        SetCrashReportLanguage("EN");
        beforeCrash();
        raise(SIGABRT);
        _exit(99);
    }
    int status = 0;
    for (int i = 0; i < 250; ++i) {
        if (waitpid(child, &status, WNOHANG) == child)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return kHung;
}

TEST(CrashDump, WritesTheDumpAndPassesTheSignalOnWithoutReporter)
{
    CTempDir dir;
    const int status = CrashChild(dir, "My.App Name");

    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(SIGABRT, WTERMSIG(status));
    const auto files = DumpFiles(dir);
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(0u, files[0].find("My-App_Name"));
    EXPECT_EQ(std::string("My-App_Name20260101-000000.dmp").size(), files[0].size());
    EXPECT_NE(std::string::npos, dir.Read("dump/" + files[0]).find("signal 6"));
}

TEST(CrashDump, WritesTheDumpWhileAnotherThreadHoldsTheLog)
{
    CTempDir dir;
    std::filesystem::create_directory(std::string(dir.File("log").utf8_str()));
    // Today's log is a pipe nobody reads: a thread opening it stays inside the log's lock.
    const wxString log = dir.File("log/" + wxDateTime::Now().Format("hbds_%Y%m%d.log"));
    ASSERT_EQ(0, mkfifo(log.utf8_str(), 0644));

    const int status = CrashChild(dir, "Vostrel", [&dir] {
        hbds_set_log_directory(dir.File("log").utf8_str());
        HBSetLogLevel(5);
        std::atomic<pid_t> stuck{0};
        std::thread([&stuck] {
            stuck = gettid();
            logout_line(2, "CrashDumpTest.cpp", __LINE__, "stuck");
        }).detach();
        // The crash comes once that thread is blocked opening the pipe, inside the lock.
        while (stuck == 0 || !IsBlockedInOpen(stuck))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });

    ASSERT_NE(kHung, status);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(1u, DumpFiles(dir).size());
}

TEST(CrashDump, StartsTheReporterWithDumpPathAndLanguageThenExitsCleanly)
{
    CTempDir dir;
    dir.Write("VostrelCrashReporter", "#!/bin/sh\necho \"$1 $2\" > \"$(dirname \"$0\")/reported.txt\"\n");
    chmod(dir.File("VostrelCrashReporter").utf8_str(), 0755);

    const int status = CrashChild(dir, "Vostrel");

    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    // The reporter runs detached; give it a moment to write.
    std::string reported;
    for (int i = 0; i < 100 && reported.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        reported = dir.Read("reported.txt");
    }
    const auto files = DumpFiles(dir);
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(std::string(dir.File("dump").utf8_str()) + "/" + files[0] + " EN\n", reported);
}

}  // namespace
