#include "SettingsListItem.h"

#include <algorithm>
#include <cwchar>
#include <limits>

namespace {

// Empty pieces (a doubled or trailing '|') carry no item.
std::vector<wxString> SplitPieces(const wxString& text, wchar_t separator)
{
    std::vector<wxString> pieces;
    size_t start = 0;
    while (start <= text.length()) {
        size_t end = text.find(separator, start);
        if (end == wxString::npos)
            end = text.length();
        if (end > start)
            pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

struct SPieceParts {
    wxString first;
    wxString second;
    wxString extra;
    bool hasSecond = false;
};

SPieceParts SplitPiece(const wxString& piece)
{
    SPieceParts parts;
    const size_t firstColon = piece.find(':');
    parts.first = piece.substr(0, firstColon);
    if (firstColon == wxString::npos)
        return parts;
    parts.hasSecond = true;
    const size_t secondColon = piece.find(':', firstColon + 1);
    parts.second = piece.substr(firstColon + 1,
                                secondColon == wxString::npos ? wxString::npos : secondColon - firstColon - 1);
    if (secondColon != wxString::npos)
        parts.extra = piece.substr(secondColon + 1);
    return parts;
}

}  // namespace

int32_t ReadDecimal(const wxString& text)
{
    const long value = std::wcstol(text.wc_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long>(value, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
}

std::vector<SSettingsListItem> ParseValueFirstList(const wxString& list)
{
    std::vector<SSettingsListItem> items;
    for (const wxString& piece : SplitPieces(list, '|')) {
        const SPieceParts parts = SplitPiece(piece);
        SSettingsListItem item;
        item.ItemValueText = parts.first;
        item.ItemValue = ReadDecimal(parts.first);
        item.ItemLabel = parts.second;
        item.ItemExtra = parts.extra;
        items.push_back(item);
    }
    return items;
}

std::vector<SSettingsListItem> ParseLabelFirstList(const wxString& list)
{
    std::vector<SSettingsListItem> items;
    for (const wxString& piece : SplitPieces(list, '|')) {
        const SPieceParts parts = SplitPiece(piece);
        SSettingsListItem item;
        item.ItemLabel = parts.first;
        item.ItemValueText = parts.hasSecond ? parts.second : parts.first;
        item.ItemValue = ReadDecimal(item.ItemValueText);
        item.ItemExtra = parts.extra;
        items.push_back(item);
    }
    return items;
}

std::vector<wxString> SplitListValues(const wxString& list)
{
    return SplitPieces(list, '|');
}

bool ListContains(const std::vector<wxString>& values, const wxString& value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}
