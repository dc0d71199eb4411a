// The command line of vostrel-cli: a command word, options and, for every command
// but "list", one text: the request to send or the configuration file.
#pragma once

#include "CliBarcode.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ECliCommand { None, List, Send, Read, Apply, Diff, Barcode, Help };

struct SCliOptions {
    ECliCommand command = ECliCommand::None;
    std::string port;        // --port PATH: only this serial port
    uint32_t baudRate = 0;   // --baud N: 0 = find the rate the scanner answers at
    std::string simModel;    // --sim MODEL: plug in a simulated scanner first
    std::string simProduct;  // --product NAME: the simulated scanner's product name
    uint32_t timeoutMs = 2000;  // --timeout MS: read time-out of each exchange
    std::string text;        // the request of "send", the file of "read", "apply" and "diff"
    bool allScanners = false;  // --all: "apply" to every scanner found
    bool force = false;        // --force: "apply" a file written for another model
    SBarcodeCliOptions barcode;  // the options of "barcode"
};

// False with a message in `error` for a command line that cannot be run.
bool ParseCliOptions(const std::vector<std::string>& arguments, SCliOptions& options, std::string& error);

// What "vostrel-cli --help" prints.
const char* CliUsage();
