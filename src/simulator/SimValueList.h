// The allowed values of one setting as a model command file lists them: items split
// at "|", numeric ranges "a-b", and items with a key before "(" or ":" (or, for
// lists with the label first, a value after ":").
#pragma once

#include <string>
#include <vector>

class CSimValueList {
public:
    CSimValueList() = default;
    // `labelFirst`: items read "label:value" instead of "value:label".
    CSimValueList(const std::string& text, bool labelFirst);

    bool IsEmpty() const { return m_values.empty() && m_ranges.empty(); }
    bool Contains(const std::string& value) const;
    // The values joined by "|", numeric ranges kept as "a-b", as a scanner reports them.
    std::string Text() const;

private:
    struct SRange {
        long first;
        long last;
    };

    void AddItem(const std::string& item, bool labelFirst);

    std::vector<std::string> m_values;
    std::vector<SRange> m_ranges;
    std::vector<std::string> m_order;  // every item as reported, in list order
};
