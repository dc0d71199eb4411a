// Internal: wide text to UTF-8. Written here because this library stays free of
// wxWidgets and the standard converters are deprecated.
#pragma once

#include <string>

namespace hbds {

std::string WideToUtf8(const wchar_t* text);

}  // namespace hbds
