#include "PageMntXmlInfo.h"

#include "app/AppContext.h"
#include "app/TaskProgress.h"
#include "app/XmlFile.h"

#include <wx/xml/xml.h>

std::unique_ptr<CPageMntXmlInfo> CPageMntXmlInfo::s_instance;

CPageMntXmlInfo& CPageMntXmlInfo::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CPageMntXmlInfo());
    return *s_instance;
}

void CPageMntXmlInfo::ResetInstance()
{
    s_instance.reset();
}

namespace {

bool IsPage(const wxXmlNode& node)
{
    return node.GetType() == wxXML_ELEMENT_NODE && node.GetName() == "Page";
}

uint64_t CountPages(const wxXmlNode& root)
{
    uint64_t count = 0;
    for (const wxXmlNode* child = root.GetChildren(); child; child = child->GetNext())
        count += IsPage(*child) ? 1 : 0;
    return count;
}

}  // namespace

bool CPageMntXmlInfo::Load()
{
    wxXmlDocument document;
    const wxString path = CAppContext::GetInstance().GetFilePath("Config", "pageinfo.xml");
    if (!LoadXmlFile(document, path, "Pages", "PageMntXmlInfo"))
        return false;
    Clear();
    // Online every setting of a page asks the scanner: reading the pages takes a while.
    StartTaskProgress(CountPages(*document.GetRoot()));
    for (const wxXmlNode* child = document.GetRoot()->GetChildren(); child; child = child->GetNext()) {
        if (!IsPage(*child))
            continue;
        auto page = std::make_unique<CPageXmlInfo>();
        page->ReadFrom(*child);
        AdvanceTaskProgress();
        const wxString name = page->Name;
        m_pages.emplace(name, std::move(page));  // the first page of a name stays
    }
    return true;
}

CPageXmlInfo* CPageMntXmlInfo::FindPage(const wxString& name) const
{
    const auto it = m_pages.find(name);
    return it == m_pages.end() ? nullptr : it->second.get();
}

CCmdNameXmlInfo* CPageMntXmlInfo::FindCommand(const wxString& commandName) const
{
    for (const auto& [name, page] : m_pages) {
        if (CCmdNameXmlInfo* definition = page->FindCommand(commandName))
            return definition;
    }
    return nullptr;
}

void CPageMntXmlInfo::ResetAllToDefaults()
{
    m_resetFailCount = 0;
    m_resetFailNames.clear();
    for (const auto& [name, page] : m_pages) {
        page->ResetAllToDefaults();
        m_resetFailCount += page->ResetFailCount;
        if (!page->ResetFailNames.empty())
            AppendResetFailName(m_resetFailNames, page->ResetFailNames);
    }
}
