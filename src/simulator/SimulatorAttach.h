// Plugging simulated scanners into this process for the program's demo and tests:
// the scanner then shows up among the serial ports like a real one.
#pragma once

#include <cstdint>
#include <string>

// Attaches a simulated scanner of the model whose command file is `modelPath`,
// calling itself `productName` (empty: "HBS-HI880") and listening at `baudRate`.
// Returns its port number, or 0 with a reason in `error` (when given).
uint32_t AttachSimulatedScanner(const std::string& modelPath, const std::string& productName,
                                std::string* error = nullptr, uint32_t baudRate = 9600);

// Unplugs a scanner attached above; false when `port` is none of them.
bool DetachSimulatedScanner(uint32_t port);

// Unplugs every scanner attached above. A program calls it before it ends, so that
// the scanners stop while everything they talk to is still there.
void DetachAllSimulatedScanners();
