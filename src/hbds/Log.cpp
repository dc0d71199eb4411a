// The program's log: one line per call, "date time [level] source:line text",
// appended to a daily file in the log folder.
#include "hbds.h"
#include "TextCodec.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>
#include <sys/time.h>

namespace {

std::atomic<int> g_level{2};
std::mutex g_mutex;
std::string g_directory;

std::string DailyFilePath(const std::tm& local)
{
    char name[32];
    std::strftime(name, sizeof name, "hbds_%Y%m%d.log", &local);
    return g_directory + "/" + name;
}

void WriteLine(int level, const char* source, int line, const char* text)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);

    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_directory.empty())
        return;
    FILE* file = std::fopen(DailyFilePath(local).c_str(), "a");
    if (!file)
        return;
    std::fprintf(file, "%s.%03ld [%d] %s:%d %s\n", stamp, static_cast<long>(now.tv_usec / 1000), level,
                 source ? source : "?", line, text);
    std::fclose(file);
}

}  // namespace

extern "C" {

void logout_line(int level, const char* source, int line, const char* format, ...)
{
    if (level > g_level.load() || !format)
        return;
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    WriteLine(level, source, line, text);
}

void logout_line_u(int level, const char* source, int line, const wchar_t* format, ...)
{
    if (level > g_level.load() || !format)
        return;
    wchar_t text[4096];
    va_list args;
    va_start(args, format);
    if (std::vswprintf(text, sizeof text / sizeof text[0], format, args) < 0)
        text[sizeof text / sizeof text[0] - 1] = L'\0';  // cut, but still one line
    va_end(args);
    WriteLine(level, source, line, hbds::WideToUtf8(text).c_str());
}

int HBSetLogLevel(int level)
{
    if (level < 1 || level > 6)
        return 0;
    g_level.store(level);
    return 1;
}

int hbds_get_log_level(void)
{
    return g_level.load();
}

void hbds_set_log_directory(const char* directory)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_directory = directory ? directory : "";
}

}  // extern "C"
