// The command line of vostrel-cli: a command word, options and, for every command
// but "list" and "inventory", one text: the request to send, the configuration or the firmware file.
#pragma once

#include "CliBarcode.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ECliCommand { None, List, Send, Read, Apply, Diff, Upgrade, Inventory, DataFormat, Barcode, Help };

struct SCliOptions {
    ECliCommand command = ECliCommand::None;
    std::string port;        // --port PATH: only this serial port
    uint32_t baudRate = 0;   // --baud N: 0 = find the rate the scanner answers at
    std::string simModel;    // --sim MODEL: plug in a simulated scanner first
    std::string simProduct;  // --product NAME: the simulated scanner's product name
    uint32_t timeoutMs = 2000;  // --timeout MS: read time-out of each exchange
    std::string text;        // the request of "send", the file of "read", "apply" and "diff"
    bool allScanners = false;  // --all: "apply" or "upgrade" every scanner found
    bool checkOnly = false;    // --check: "upgrade" says whether the file's version differs, downloading nothing
    bool force = false;        // --force: "apply" or "upgrade" with a file made for another model
    bool json = false;         // --json: one JSON document on standard output
    bool csv = false;          // --csv: "inventory" as comma-separated values
    std::string caFile;        // --ca FILE: the authority of TLS ports' certificates (else TlsCaFile= of hbs.ini)
    std::string certFile;      // --cert FILE: our certificate, for servers that ask for one
    std::string keyFile;       // --key FILE: its key (else in the --cert file)
    std::string against;       // --against FILE: "inventory" compares every scanner with FILE
    bool hasSample = false;    // "dataformat check": --sample given
    std::string sample;        // --sample DATA: the read the preview runs on
    std::string symbology;     // --symbology NAME: its symbology
    SBarcodeCliOptions barcode;  // the options of "barcode"
};

// False with a message in `error` for a command line that cannot be run.
bool ParseCliOptions(const std::vector<std::string>& arguments, SCliOptions& options, std::string& error);

// The rest of a "dataformat check TEXT [--sample DATA --symbology NAME]" line.
bool ParseDataFormatOptions(const std::vector<std::string>& arguments, SCliOptions& options, std::string& error);

// What "vostrel-cli --help" prints.
const char* CliUsage();

// The word that names `command` on the command line ("list", "apply", ...).
const char* CliCommandWord(ECliCommand command);
