// Reads a model command file into the simulator's settings.
//
// The simulator keeps its own small reader instead of the configuration tool's: it is
// the tool's partner in tests, and a parsing fault shared by both ends would pass
// every test unnoticed.
#pragma once

#include "SimSettingsDatabase.h"

#include <string>

class CSimModelFile {
public:
    // Fills `database` from the file at `path` (the first Command of a name wins).
    // False with a readable reason in `error` when the file cannot be read or is no
    // model command file; `database` is then untouched.
    static bool Load(const std::string& path, CSimSettingsDatabase& database, std::string& error);
};
