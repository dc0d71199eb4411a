#include "DeviceCmdNameMntXmlInfo.h"

#include "AppContext.h"
#include "Log.h"
#include "UiText.h"
#include "XmlFile.h"

#include <wx/xml/xml.h>

#include <cwchar>
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

std::vector<wxString> ExpandItems(const wxString& list)
{
    std::vector<wxString> items;
    bool cut = false;
    for (const wxString& piece : SplitItems(list)) {
        const size_t dash = RangeDash(piece);
        if (dash == wxString::npos) {
            items.push_back(piece);
            continue;
        }
        const long from = LeadingNumber(piece.substr(0, dash));
        const long to = LeadingNumber(piece.substr(dash + 1));
        for (long n = from; n <= to; ++n) {
            if (items.size() >= CDeviceCmdNameMntXmlInfo::kMaxListItems) {
                cut = true;
                break;
            }
            items.push_back(wxString::Format("%ld", n));
        }
    }
    if (cut)
        VLOG(LOG_WARNING, "list cut at %u items: %s", static_cast<unsigned>(items.size()), U8(list.Left(80)));
    return items;
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
    const std::vector<wxString> items = ExpandItems(list);
    if (items.empty())
        return false;
    first = items.front();
    last = items.back();
    wxString joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            joined += '|';
        joined += DisplayItem(items[i]);
    }
    display = joined;
    return true;
}
