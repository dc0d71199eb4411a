// What a command reports. For a person, each result is a line of text printed as it
// comes; with --json nothing is printed along the way, and when the command ends one
// document goes to standard output:
//
//   {"command": "list", "exitCode": 0, "errors": [], "scanners": [...], ...}
//
// A command hands every result to EmitRecord or EmitField and writes its problems to
// its error stream as usual; RunCli turns those into the document's "errors". The
// schema of every command's document is data/Doc/vostrel-cli.schema.json.
#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <ostream>
#include <string>

// One result among several (a scanner, a reply item, a difference): `textLine` goes
// to `out` for a person; under --json `record` is appended to the list `listName`.
void EmitRecord(std::ostream& out, const char* listName, const nlohmann::json& record, const std::string& textLine);

// A result that stands alone (the file written, a count); it appears under --json only.
void EmitField(const char* name, const nlohmann::json& value);

// True while a command runs under --json.
bool IsJsonReport();

// Runs one command under --json: `run` gets a stream for text and one for problems and
// returns the exit status. Prints the document to `out` and returns that status.
int RunWithJsonReport(const std::string& command, std::ostream& out,
                      const std::function<int(std::ostream& text, std::ostream& problems)>& run);

// The document of a command line that could not be parsed.
void PrintJsonUsageError(std::ostream& out, const std::string& command, int exitCode, const std::string& error);

// Ends a command's output: flushes `out` and, when what it printed could not all be
// written (a full disk, a closed pipe or standard output), says so on `err` and turns
// a success into CLI_BAD_FILE's status, so that no script takes lost output for a result.
int FinishOutput(std::ostream& out, std::ostream& err, int exitCode);
