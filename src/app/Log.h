// Logging for the core: every line goes through the device-link library's log with
// this source file's name and line.
#pragma once

#include "hbds/hbds.h"

#include <wx/string.h>

enum {
    LOG_ERROR = 2,    // failed file loads
    LOG_WARNING = 3,  // missing pictures and the like
    LOG_INFO = 4,     // device counts, failed exchanges
    LOG_DETAIL = 5    // sizes, paths, traffic
};

#define VLOG(level, ...) logout_line((level), __FILE_NAME__, __LINE__, __VA_ARGS__)

// For wxString arguments: VLOG(LOG_DETAIL, "%s", U8(path)).
#define U8(text) static_cast<const char*>(wxString(text).utf8_str())
