#include "SimValueList.h"

#include "SimNumber.h"

namespace {

std::vector<std::string> SplitAtBars(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('|', start);
        if (end == std::string::npos)
            end = text.size();
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

}  // namespace

CSimValueList::CSimValueList(const std::string& text, bool labelFirst)
{
    for (const std::string& item : SplitAtBars(text))
        AddItem(item, labelFirst);
}

void CSimValueList::AddItem(const std::string& item, bool labelFirst)
{
    // A "-" at the very start is a sign, not a range.
    const size_t dash = item.find('-', 1);
    long first = 0;
    long last = 0;
    if (dash != std::string::npos && ParseDecimal(item.substr(0, dash), first) &&
        ParseDecimal(item.substr(dash + 1), last)) {
        m_ranges.push_back({first, last});
        m_order.push_back(item);
        return;
    }
    std::string value = item;
    if (labelFirst) {
        const size_t colon = item.find(':');
        if (colon != std::string::npos)
            value = item.substr(colon + 1);
    } else {
        const size_t mark = item.find_first_of("(:");
        if (mark != std::string::npos)
            value = item.substr(0, mark);
    }
    m_values.push_back(value);
    m_order.push_back(value);
}

bool CSimValueList::Contains(const std::string& value) const
{
    for (const std::string& known : m_values) {
        if (known == value)
            return true;
    }
    long number = 0;
    if (!ParseDecimal(value, number))
        return false;
    for (const SRange& range : m_ranges) {
        if (number >= range.first && number <= range.last)
            return true;
    }
    return false;
}

std::string CSimValueList::Text() const
{
    std::string text;
    for (const std::string& item : m_order) {
        if (!text.empty())
            text += '|';
        text += item;
    }
    return text;
}
