// The built-in simulated scanner of the program and of vostrel-cli: a model of the
// catalogue played by the scanner simulator, so that everything can be tried
// without hardware. It shows up among the serial ports like a real scanner.
#pragma once

#include <wx/string.h>

#include <cstdint>

// The line rate of a demo scanner when none is asked for: fast, so that connecting
// and pictures take seconds rather than minutes.
constexpr uint32_t kDemoBaudRate = 115200;

// Plugs in a simulated scanner of `model`: a catalogue key (e.g. "HBS-HI880"), a
// command file name in Config/, or a path to one. Its product name is `productName`,
// or the model's key when that is empty. Returns the port number, or 0 with `error`.
uint32_t AttachDemoScanner(const wxString& model, const wxString& productName, uint32_t baudRate, wxString& error);

// Plugs in the models named in the environment variable VOSTREL_SIMULATED_SCANNER
// (separated by ","); problems are logged. Returns how many were plugged in.
int AttachDemoScannersFromEnvironment();

// Unplugs one scanner plugged in above.
void DetachDemoScanner(uint32_t port);
// Unplugs all of them; the program does so at exit, before its single objects go.
void DetachAllDemoScanners();
