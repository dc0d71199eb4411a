// "vostrel-cli barcode": a sheet of settings barcodes for a catalogue model, from
// typed commands or a configuration file, written as PDF, Word or PNG without a window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct SBarcodeCliOptions {
    std::string kind = "1d";  // --kind 1d|2d|all
    std::string model;        // --model NAME: catalogue key or name
    std::string commands;     // --commands TEXT, as the linear page takes it
    std::string file;         // --file CONFIG.xml
    bool changedOnly = false; // --changed: only settings that differ from the model's defaults
    std::string output;       // --output FILE.pdf|FILE.docx|FILE.png
    bool force = false;       // --force: a file made for another model
    bool split = false;       // --split: settings too long for one 2D symbol go into several
};

// The arguments after the word "barcode"; false with a message in `error`.
bool ParseBarcodeOptions(const std::vector<std::string>& arguments, SBarcodeCliOptions& options, std::string& error);
int RunBarcode(const SBarcodeCliOptions& options, std::ostream& out, std::ostream& err);
