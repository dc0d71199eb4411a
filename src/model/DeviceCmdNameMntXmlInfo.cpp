#include "DeviceCmdNameMntXmlInfo.h"

#include "app/AppContext.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "app/XmlFile.h"

#include <wx/xml/xml.h>

#include <cwchar>
#include <iterator>
#include <vector>

std::unique_ptr<CDeviceCmdNameMntXmlInfo> CDeviceCmdNameMntXmlInfo::s_instance;

namespace {

// The position of the "-" of a range: the first one at position 1 or later, so that
// a leading minus sign is part of the lower number.
size_t RangeDash(const wxString& text)
{
    const size_t dash = text.find('-', 1);
    return dash == wxString::npos ? wxString::npos : dash;
}

// Like the C library's atol: leading blanks, an optional sign and digits; 0 otherwise.
long LeadingNumber(const wxString& text)
{
    return std::wcstol(text.wc_str(), nullptr, 10);
}

// Splits at "|": an empty piece between two bars is an item, a final bar adds none.
std::vector<wxString> SplitItems(const wxString& list)
{
    std::vector<wxString> pieces;
    size_t start = 0;
    while (start < list.length()) {
        const size_t bar = list.find('|', start);
        if (bar == wxString::npos) {
            pieces.push_back(list.substr(start));
            break;
        }
        pieces.push_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    return pieces;
}

wxString DisplayItem(const wxString& item)
{
    size_t mark = item.find('(');
    if (mark == wxString::npos)
        mark = item.find(':');
    if (mark == wxString::npos)
        return item;
    const wxString key = item.substr(0, mark);
    return GetUiText(key, key) + item.substr(mark);
}

// The display list, built item by item. A number of a range costs one append and
// no string of its own, so that expanding a range stays cheap up to the cap.
class CListExpansion {
public:
    bool IsFull() const { return m_count == CDeviceCmdNameMntXmlInfo::kMaxListItems; }
    // Some item did not fit.
    bool IsCut() const { return m_cut; }
    size_t Count() const { return m_count; }
    const wxString& First() const { return m_first; }
    const wxString& Display() const { return m_display; }
    wxString Last() const { return m_lastIsNumber ? NumberText(m_lastNumber) : m_lastItem; }

    void AddItem(const wxString& item)
    {
        if (!StartItem(item))
            return;
        m_display += DisplayItem(item);
        m_lastItem = item;
        m_lastIsNumber = false;
    }

    // The numbers from `from` to `to`, as many as the cap leaves room for.
    void AddRange(long from, long to)
    {
        for (long n = from; n <= to; ++n) {
            if (!StartItem(m_count == 0 ? NumberText(n) : wxString()))
                return;
            AppendNumber(n);
            m_lastNumber = n;
            m_lastIsNumber = true;
            if (n == to)
                break;  // `to` may be the largest long, past which ++n overflows
        }
    }

private:
    // Counts the item and puts the bar before it; false when the list is full.
    bool StartItem(const wxString& item)
    {
        if (IsFull()) {
            m_cut = true;
            return false;
        }
        if (m_count == 0)
            m_first = item;
        else
            m_display += '|';
        ++m_count;
        return true;
    }

    // The digits written by hand: a formatted print per number would cost more
    // than all the rest of an item.
    void AppendNumber(long n)
    {
        wchar_t digits[24];
        wchar_t* end = digits + std::size(digits);
        wchar_t* first = end;
        unsigned long magnitude = n < 0 ? 0UL - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
        do {
            *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (n < 0)
            *--first = L'-';
        m_display.append(first, static_cast<size_t>(end - first));
    }

    static wxString NumberText(long n) { return wxString::Format("%ld", n); }

    size_t m_count = 0;
    wxString m_first;
    wxString m_display;
    wxString m_lastItem;
    long m_lastNumber = 0;
    bool m_lastIsNumber = false;
    bool m_cut = false;
};

// What lies beyond the cap is never made, so a reply or file costs in proportion
// to its own length rather than to the numbers written in it.
void ExpandPieces(const wxString& list, CListExpansion& expansion)
{
    for (const wxString& piece : SplitItems(list)) {
        if (expansion.IsCut())
            break;
        const size_t dash = RangeDash(piece);
        if (dash == wxString::npos)
            expansion.AddItem(piece);
        else
            expansion.AddRange(LeadingNumber(piece.substr(0, dash)), LeadingNumber(piece.substr(dash + 1)));
    }
    if (expansion.IsCut())
        VLOG(LOG_WARNING, "list cut at %u items: %s", static_cast<unsigned>(expansion.Count()), U8(list.Left(80)));
}

// Splits "a-b" into its two ends; false when there is no range dash.
bool SplitRange(const wxString& text, wxString& minimum, wxString& maximum)
{
    const size_t dash = RangeDash(text);
    if (dash == wxString::npos)
        return false;
    minimum = text.substr(0, dash);
    maximum = text.substr(dash + 1);
    return true;
}

}  // namespace

CDeviceCmdNameMntXmlInfo& CDeviceCmdNameMntXmlInfo::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CDeviceCmdNameMntXmlInfo());
    return *s_instance;
}

void CDeviceCmdNameMntXmlInfo::ResetInstance()
{
    s_instance.reset();
}

bool CDeviceCmdNameMntXmlInfo::Load(const wxString& fileName)
{
    const wxString path = CAppContext::GetInstance().GetFilePath("Config", fileName);
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "DeviceConfiguration", "DeviceCmdNameMntXmlInfo"))
        return false;

    Clear();
    for (const wxXmlNode* child = document.GetRoot()->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE || child->GetName() != "Command")
            continue;
        auto record = std::make_unique<CDeviceCmdNameXmlInfo>();
        record->ReadFrom(*child);
        record->CurrentValue = record->Default;
        if (!record->SettingsListLangId.empty()) {
            const wxString text = GetUiText(record->SettingsListLangId, record->SettingsList);
            if (!text.empty())
                record->SettingsList = text;
        }
        const wxString name = record->CommandName;
        m_commands.emplace(name, std::move(record));  // the first of a name stays
    }
    return true;
}

CDeviceCmdNameXmlInfo* CDeviceCmdNameMntXmlInfo::Find(const wxString& commandName) const
{
    const auto it = m_commands.find(commandName);
    return it == m_commands.end() ? nullptr : it->second.get();
}

CDeviceCmdNameXmlInfo& CDeviceCmdNameMntXmlInfo::FindOrCreate(const wxString& commandName)
{
    std::unique_ptr<CDeviceCmdNameXmlInfo>& slot = m_commands[commandName];
    if (!slot) {
        slot = std::make_unique<CDeviceCmdNameXmlInfo>();
        slot->CommandName = commandName;
    }
    return *slot;
}

void CDeviceCmdNameMntXmlInfo::SetCurrentValue(const wxString& commandName, const wxString& value)
{
    CDeviceCmdNameXmlInfo& record = FindOrCreate(commandName);
    record.CommandName = commandName;
    record.CurrentValue = value;
}

void CDeviceCmdNameMntXmlInfo::SetDefaultValue(const wxString& commandName, const wxString& value)
{
    FindOrCreate(commandName).Default = value;
}

void CDeviceCmdNameMntXmlInfo::SetRange(const wxString& commandName, const wxString& rangeText)
{
    CDeviceCmdNameXmlInfo& record = FindOrCreate(commandName);
    record.RangeWithList = 0;
    const size_t underscore = rangeText.find('_');
    if (underscore != wxString::npos) {
        SplitRange(rangeText.substr(0, underscore), record.Minimum, record.Maximum);
        record.SettingsList = rangeText.substr(underscore + 1);
        record.RangeWithList = 1;
    } else if (rangeText.find('|') == wxString::npos) {
        SplitRange(rangeText, record.Minimum, record.Maximum);
        record.SettingsList = rangeText;
    } else if (!ExpandList(rangeText, record.Minimum, record.Maximum, record.SettingsList)) {
        record.SettingsList = rangeText;
    }
}

bool CDeviceCmdNameMntXmlInfo::ExpandList(const wxString& list, wxString& first, wxString& last, wxString& display)
{
    CListExpansion expansion;
    ExpandPieces(list, expansion);
    if (expansion.Count() == 0)
        return false;
    first = expansion.First();
    last = expansion.Last();
    display = expansion.Display();
    return true;
}
