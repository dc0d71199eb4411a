#include "SimReplyBuilder.h"

#include <algorithm>

namespace {

// A status character inside a value would end the item early on the tool's side.
std::string WithoutStatusCharacters(std::string value)
{
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == kSimAck || c == kSimNak || c == kSimEnq; }, '?');
    return value;
}

}  // namespace

void CSimReplyBuilder::Add(const std::string& name, const std::string& value, char status)
{
    const std::string group = name.substr(0, 3);
    const std::string piece = name.substr(std::min<size_t>(3, name.size())) + WithoutStatusCharacters(value) + status;
    // The tool reads a piece that holds its group's three characters anywhere as a
    // full name; such an item is written in full after ";" instead.
    const bool joins = !m_items.empty() && name.size() == 6 && group == m_lastGroup &&
                       piece.find(group) == std::string::npos;
    if (joins)
        m_items += "," + piece;
    else
        m_items += (m_items.empty() ? "" : ";") + group + piece;
    m_lastGroup = group;
}

std::string CSimReplyBuilder::Frame(char mark) const
{
    return std::string("\x02\x01") + "0000" + mark + m_items + ";\x03";
}
