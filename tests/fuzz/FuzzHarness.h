// What every fuzz target shares: wxWidgets started once, a private program directory
// with a Config/ folder that the readers look in, and the input written to a file.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>

// Starts everything on first use; the private program directory, ending with "/".
const wxString& FuzzProgramDirectory();

// Writes the input to `relativePath` below the program directory; its full path.
wxString WriteFuzzFile(const wxString& relativePath, const uint8_t* data, size_t size);

// Copies a shipped file of data/Config into the private Config folder.
void CopyShippedConfig(const wxString& fileName);

// The input as text: UTF-8 where it is valid, byte for byte otherwise.
wxString FuzzText(const uint8_t* data, size_t size);
