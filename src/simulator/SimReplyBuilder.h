// Packs reply items into a reply frame the way the scanner does: 0x02 0x01 "0000",
// the request's mark, the items, ";" 0x03. An item that follows one of its own group
// is written as "," plus its item name, value and status character.
#pragma once

#include <string>

enum : char { kSimAck = 0x06, kSimNak = 0x15, kSimEnq = 0x05 };

class CSimReplyBuilder {
public:
    void Add(const std::string& name, const std::string& value, char status);
    bool IsEmpty() const { return m_items.empty(); }
    std::string Frame(char mark) const;

private:
    std::string m_items;
    std::string m_lastGroup;
};
