// Rule texts and fields travel as bytes, one per character, as they go to the scanner;
// the dialogs show them as wide text.
#pragma once

#include "app/NarrowText.h"

#include <wx/string.h>

#include <cstdint>
#include <string>

inline std::string Narrow(const wxString& text)
{
    return ToNarrow(text.wc_str(), text.length());
}

inline wxString Wide(const std::string& bytes)
{
    return FromNarrow(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
