#include "PendingChangeList.h"

#include "device/HBDataStreamMnt.h"

#include "SaveCfg.h"
#include "model/CmdNameXmlInfo.h"

#include <algorithm>

std::unique_ptr<CPendingChangeList> CPendingChangeList::s_instance;
CPendingChangeList* CPendingChangeList::s_live = nullptr;

CPendingChangeList::~CPendingChangeList()
{
    s_live = nullptr;
}

CPendingChangeList& CPendingChangeList::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CPendingChangeList());
    return *s_instance;
}

void CPendingChangeList::ResetInstance()
{
    s_instance.reset();
}

void CPendingChangeList::Forget(const CCmdNameXmlInfo* definition)
{
    if (!s_live)
        return;
    auto& entries = s_live->m_entries;
    const auto it = std::find(entries.begin(), entries.end(), definition);
    if (it != entries.end())
        s_live->EraseAt(static_cast<size_t>(it - entries.begin()));
}

bool CPendingChangeList::IsListed(const CCmdNameXmlInfo* definition) const
{
    return std::find(m_entries.begin(), m_entries.end(), definition) != m_entries.end();
}

void CPendingChangeList::AddChange(CCmdNameXmlInfo* definition)
{
    if (!definition)
        return;
    const bool nameListed = std::find(m_names.begin(), m_names.end(), definition->CommandName) != m_names.end();
    if (IsListed(definition) || nameListed) {
        Repaint();
        return;
    }
    m_entries.push_back(definition);
    m_names.push_back(definition->CommandName);
}

void CPendingChangeList::RemoveChange(const CCmdNameXmlInfo* definition)
{
    if (!definition)
        return;
    auto it = std::find(m_entries.begin(), m_entries.end(), definition);
    if (it == m_entries.end()) {
        it = std::find_if(m_entries.begin(), m_entries.end(), [definition](const CCmdNameXmlInfo* entry) {
            return entry->CommandName == definition->CommandName;
        });
    }
    if (it != m_entries.end())
        EraseAt(static_cast<size_t>(it - m_entries.begin()));
}

void CPendingChangeList::EraseAt(size_t index)
{
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    m_names.erase(m_names.begin() + static_cast<std::ptrdiff_t>(index));
}

void CPendingChangeList::ClearChanges()
{
    m_entries.clear();
    m_names.clear();
    Repaint();
}

bool CPendingChangeList::IsLinkCommand(const wxString& commandName)
{
    static const char* const kLinkCommands[] = {"INTERF", "232BAD", "KBWPOR", "232PAR",
                                                "232STP", "232DAT", "232FLW", "232AFL"};
    return std::any_of(std::begin(kLinkCommands), std::end(kLinkCommands),
                       [&commandName](const char* name) { return commandName.CmpNoCase(name) == 0; });
}

void CPendingChangeList::OnValueChanged(CCmdNameXmlInfo* definition)
{
    Repaint();
    if (!definition || m_sendAtOnce != 1 || !CSaveCfg::GetInstance().IsOnline() ||
        IsLinkCommand(definition->CommandName))
        return;
    // Fire and forget, in its turn on the line: a failed send leaves the value as the
    // user set it, still listed to be written. The job gets copies: the definition
    // belongs to the window thread.
    const wxString name = definition->CommandName;
    const wxString value = definition->Value;
    CHBDataStreamMnt::GetInstance().Jobs().Queue(LineUsers::kExchange, [name, value](CLineJob&) {
        wxString answer;
        return CSaveCfg::SendSetting(name, value, answer);
    });
}

void CPendingChangeList::Repaint() const
{
    if (m_repaint)
        m_repaint();
}
