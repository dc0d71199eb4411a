// How a simulated scanner is told to scan and what its batch store holds: the
// options of vostrel-scanner-sim, and the same in the environment for the scanners
// plugged into the program (VOSTREL_SIM_READS, VOSTREL_SIM_SCAN_MS,
// VOSTREL_SIM_PACKED, VOSTREL_SIM_BATCH).
#pragma once

#include "SimulatedScanner.h"

#include <string>

struct SSimScanSetup {
    std::string readsFile;  // --reads FILE: one read per line, "CODE<TAB>DATA" or "DATA"
    int periodMs = 0;       // --scan-every MS: one read every MS milliseconds
    ESimPacking packing = ESimPacking::PLAIN;  // --packed codeid|aim
    std::string batchFile;  // --batch FILE: codes stored in batch mode, one per line

    // Takes one option of the program; false when it is not one of these or its
    // value is bad.
    bool Add(const std::string& option, const std::string& value);
    // The variables of the environment; false with `error` on a bad value.
    bool ReadEnvironment(std::string& error);
    // Sets the scanner up; false with `error` when a file cannot be read.
    bool ApplyTo(CSimulatedScanner& scanner, std::string& error) const;
};

// The options above as the program's usage text lists them.
extern const char kSimScanUsage[];
