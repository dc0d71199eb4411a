// The commands of vostrel-cli, on the same device link, catalogue and command
// exchange as the program. They write results to `out` and problems to `err`, and
// return the process exit status.
#pragma once

#include "CliOptions.h"

#include <ostream>

enum ECliExit {
    CLI_OK = 0,
    CLI_USAGE = 1,
    CLI_NO_SCANNER = 2,
    CLI_NO_REPLY = 3,
    CLI_REFUSED = 4,
    CLI_BAD_FILE = 5,
    CLI_DIFFERENT = 6
};

int RunList(const SCliOptions& options, std::ostream& out, std::ostream& err);
int RunSend(const SCliOptions& options, std::ostream& out, std::ostream& err);
// Connects, reads every setting and saves them as a configuration file.
int RunRead(const SCliOptions& options, std::ostream& out, std::ostream& err);
// Sends a configuration file to the first scanner, or to every one with --all.
int RunApply(const SCliOptions& options, std::ostream& out, std::ostream& err);
// Prints the settings of the scanner that differ from a configuration file.
int RunDiff(const SCliOptions& options, std::ostream& out, std::ostream& err);
// Downloads a firmware file into the first scanner, or into every one at once with --all.
int RunUpgrade(const SCliOptions& options, std::ostream& out, std::ostream& err);
// Lists every scanner with its versions and, with --against, whether it differs from a file.
int RunInventory(const SCliOptions& options, std::ostream& out, std::ostream& err);
// Runs the command of `options`; under --json its results and problems become one document on `out`.
// Checks a data-format rule text, prints its rules in words and, with a sample
// read, what the scanner would send. Needs no scanner.
int RunDataFormatCheck(const SCliOptions& options, std::ostream& out, std::ostream& err);
int RunCli(const SCliOptions& options, std::ostream& out, std::ostream& err);

// A reply value made safe for a terminal: control bytes become \xNN.
std::string PrintableValue(const wchar_t* value);
const char* StatusName(wchar_t status);
