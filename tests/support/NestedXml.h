// An XML text nested `depth` elements deep: what breaks a reader that recurses.
#pragma once

#include <string>

inline std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}
