// The program's log: one line per call, "date time [level] source:line text",
// appended to a daily file in the log folder.
#include "hbds.h"
#include "hbds_signal.h"
#include "TextCodec.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/time.h>
#include <unistd.h>

namespace {

std::atomic<int> g_level{2};

struct SLogState {
    std::mutex mutex;
    std::string directory;
};

// Never destroyed: destructors of static objects log while the statics are torn down.
SLogState& State()
{
    static SLogState* const state = new SLogState();
    return *state;
}

long CurrentUtcOffset()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

// What a fatal-signal handler needs, kept where it can read it without the lock: the
// folder as plain characters and the UTC offset of the last line written.
char g_signalDirectory[4096];
std::atomic<long> g_utcOffset{CurrentUtcOffset()};

std::string DailyFilePath(const std::tm& local)
{
    char name[32];
    std::strftime(name, sizeof name, "hbds_%Y%m%d.log", &local);
    return State().directory + "/" + name;
}

void WriteLine(int level, const char* source, int line, const char* text)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    g_utcOffset.store(local.tm_gmtoff);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);

    std::lock_guard<std::mutex> lock(State().mutex);
    if (State().directory.empty())
        return;
    FILE* file = std::fopen(DailyFilePath(local).c_str(), "a");
    if (!file)
        return;
    std::fprintf(file, "%s.%03ld [%d] %s:%d %s\n", stamp, static_cast<long>(now.tv_usec / 1000), level,
                 source ? source : "?", line, text);
    std::fclose(file);
}

// ---- Pieces a signal handler may use: no locks, no allocation, no stdio ----

// A fixed buffer, always terminated; what does not fit is cut.
class CSignalSafeText {
public:
    void Add(const char* text) { hbds_append_text(m_text, sizeof m_text, text); }
    // `value` in decimal with at least `width` digits.
    void AddNumber(long value, int width = 1) { hbds_append_decimal(m_text, sizeof m_text, value, width); }
    const char* Text() const { return m_text; }
    size_t Length() const { return std::strlen(m_text); }

private:
    char m_text[4096 + 512] = {};
};

// Year, month and day of a count of days since 1970-01-01 (the proleptic Gregorian
// calendar), without the time-zone database that localtime_r locks.
void CivilFromDays(long days, std::tm& out)
{
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
    out.tm_mday = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    out.tm_mon = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 2 : shiftedMonth - 10);
    out.tm_year = static_cast<int>(yearOfEra + era * 400 + (out.tm_mon <= 1 ? 1 : 0) - 1900);
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
    g_utcOffset.store(CurrentUtcOffset());
    std::lock_guard<std::mutex> lock(State().mutex);
    State().directory = directory ? directory : "";
    std::snprintf(g_signalDirectory, sizeof g_signalDirectory, "%s", State().directory.c_str());
}

void hbds_append_text(char* out, size_t room, const char* text)
{
    if (!out || room == 0)
        return;
    size_t length = strnlen(out, room - 1);
    for (; text && *text && length + 1 < room; ++text)
        out[length++] = *text;
    out[length] = '\0';
}

void hbds_append_decimal(char* out, size_t room, long value, int width)
{
    char digits[24];
    int count = 0;
    unsigned long rest = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0 && count < 20);
    while (count < width && count < 20)
        digits[count++] = '0';
    if (value < 0)
        digits[count++] = '-';
    char text[24];
    for (int i = 0; i < count; ++i)
        text[i] = digits[count - 1 - i];
    text[count] = '\0';
    hbds_append_text(out, room, text);
}

void hbds_local_time_from_signal(struct tm* local)
{
    if (!local)
        return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long seconds = static_cast<long long>(now.tv_sec) + g_utcOffset.load();
    long long days = seconds / 86400;
    long long inDay = seconds % 86400;
    if (inDay < 0) {
        inDay += 86400;
        --days;
    }
    std::memset(local, 0, sizeof *local);
    CivilFromDays(static_cast<long>(days), *local);
    local->tm_hour = static_cast<int>(inDay / 3600);
    local->tm_min = static_cast<int>(inDay / 60 % 60);
    local->tm_sec = static_cast<int>(inDay % 60);
}

void hbds_log_line_from_signal(int level, const char* source, int line, const char* text)
{
    if (level > g_level.load() || g_signalDirectory[0] == '\0')
        return;
    std::tm local{};
    hbds_local_time_from_signal(&local);
    CSignalSafeText path;
    path.Add(g_signalDirectory);
    path.Add("/hbds_");
    path.AddNumber(local.tm_year + 1900, 4);
    path.AddNumber(local.tm_mon + 1, 2);
    path.AddNumber(local.tm_mday, 2);
    path.Add(".log");
    CSignalSafeText entry;
    entry.AddNumber(local.tm_year + 1900, 4);
    entry.Add("-");
    entry.AddNumber(local.tm_mon + 1, 2);
    entry.Add("-");
    entry.AddNumber(local.tm_mday, 2);
    entry.Add(" ");
    entry.AddNumber(local.tm_hour, 2);
    entry.Add(":");
    entry.AddNumber(local.tm_min, 2);
    entry.Add(":");
    entry.AddNumber(local.tm_sec, 2);
    entry.Add(".000 [");
    entry.AddNumber(level);
    entry.Add("] ");
    entry.Add(source ? source : "?");
    entry.Add(":");
    entry.AddNumber(line);
    entry.Add(" ");
    entry.Add(text);
    entry.Add("\n");
    // Non-blocking: a log that is a pipe nobody reads must not stall the crash.
    const int fd = open(path.Text(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const ssize_t written = write(fd, entry.Text(), entry.Length());
    (void)written;
    close(fd);
}

}  // extern "C"
