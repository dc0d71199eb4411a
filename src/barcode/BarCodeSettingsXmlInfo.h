// The layout of the linear settings barcode, from "barcode.xml" in Config/: bar
// height and module width, the font of the human-readable text and whether it shows.
#pragma once

#include <wx/string.h>

#include <cstdint>

class CBarCodeSettingsXmlInfo {
public:
    // Reads the file; every value that is missing or out of its accepted range keeps
    // its default. False (all defaults, one log line) when the file cannot be used.
    bool Load(const wxString& path);
    // "barcode.xml" in the program's Config folder.
    static wxString GetDefaultPath();

    int32_t D1Height = 254;
    int32_t D1Width = 6;
    int32_t FontWidth = 24;
    int32_t FontHeight = 60;
    int32_t fnWeight = 400;
    bool Show = true;

private:
    void TakeValue(const wxString& name, long value);
};
