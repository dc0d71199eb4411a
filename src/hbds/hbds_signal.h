/*
 * The part of the device-link library a fatal-signal handler may call. A crash can
 * interrupt the log itself, so these take no lock, allocate nothing and use only
 * async-signal-safe system calls.
 */
#ifndef HBDS_SIGNAL_H
#define HBDS_SIGNAL_H

#include <stddef.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Append `text`, or `value` in decimal with at least `width` digits, to the terminated
   string in out[0, room); what does not fit is cut and the string stays terminated. */
void hbds_append_text(char* out, size_t room, const char* text);
void hbds_append_decimal(char* out, size_t room, long value, int width);

/* The local time now: the clock with the UTC offset in force at the last log line (or
   at the last hbds_set_log_directory, or at start). */
void hbds_local_time_from_signal(struct tm* local);

/* One line in today's log file, as logout_line writes it but with `text` as it stands,
   unformatted. It may interleave with a line being written when the signal came. */
void hbds_log_line_from_signal(int level, const char* source, int line, const char* text);

#ifdef __cplusplus
}
#endif

#endif /* HBDS_SIGNAL_H */
