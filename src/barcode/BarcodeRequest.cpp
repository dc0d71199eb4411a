#include "BarcodeRequest.h"

#include "config/PendingChangeList.h"
#include "model/CmdNameXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <set>

std::unique_ptr<CBarcodeRequest> CBarcodeRequest::s_instance;

CBarcodeRequest& CBarcodeRequest::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CBarcodeRequest());
    return *s_instance;
}

void CBarcodeRequest::ResetInstance()
{
    s_instance.reset();
}

void CBarcodeRequest::Ask(int barcodeType, bool printAtOnce, EntrySource source)
{
    m_buildFromHistory = true;
    m_barcodeType = barcodeType;
    m_printAtOnce = printAtOnce;
    m_source = std::move(source);
}

std::vector<SHistoryEntry> CBarcodeRequest::GetEntries() const
{
    return m_source ? m_source() : PendingChangeEntries();
}

SHistoryEntry HistoryEntryOf(const CCmdNameXmlInfo& definition)
{
    const wxString shown = definition.ValueText.empty() ? definition.Value : definition.ValueText;
    return {definition.CommandName, definition.Value, definition.langID, definition.FriendlyText, shown};
}

std::vector<SHistoryEntry> PendingChangeEntries()
{
    std::vector<SHistoryEntry> entries;
    for (const CCmdNameXmlInfo* definition : CPendingChangeList::GetInstance().GetEntries())
        entries.push_back(HistoryEntryOf(*definition));
    return entries;
}

std::vector<SHistoryEntry> AllSavedSettingEntries()
{
    std::vector<SHistoryEntry> entries;
    std::set<wxString> seen;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& definition) {
        // A setting shown on several pages is one command to the scanner.
        if (definition.IsSavedControl() && !definition.Value.empty() && seen.insert(definition.CommandName).second)
            entries.push_back(HistoryEntryOf(definition));
    });
    return entries;
}
