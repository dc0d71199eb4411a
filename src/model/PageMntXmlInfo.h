// The settings pages of the model being configured, read from "pageinfo.xml" after
// the model's command map: only the settings the model supports are kept.
#pragma once

#include "PageXmlInfo.h"

#include <wx/string.h>

#include <map>
#include <memory>

class CPageMntXmlInfo {
public:
    static CPageMntXmlInfo& GetInstance();
    static void ResetInstance();

    // Reads "Config/pageinfo.xml"; a file that cannot be used leaves the pages as they were.
    bool Load();
    void Clear() { m_pages.clear(); }

    CPageXmlInfo* FindPage(const wxString& name) const;
    // The first setting of that name, ignoring case: pages in name order, groups and
    // settings in file order.
    CCmdNameXmlInfo* FindCommand(const wxString& commandName) const;
    void ResetAllToDefaults();

    const std::map<wxString, std::unique_ptr<CPageXmlInfo>>& GetPages() const { return m_pages; }
    // Calls `visit(definition)` for every setting: pages in name order, groups and
    // settings in file order.
    template <typename Visit>
    void ForEachCommand(Visit&& visit) const
    {
        for (const auto& [name, page] : m_pages)
            for (const auto& group : page->GetGroups())
                for (const auto& definition : group->GetCommands())
                    visit(*definition);
    }
    int32_t GetResetFailCount() const { return m_resetFailCount; }
    const wxString& GetResetFailNames() const { return m_resetFailNames; }

private:
    CPageMntXmlInfo() = default;

    std::map<wxString, std::unique_ptr<CPageXmlInfo>> m_pages;
    int32_t m_resetFailCount = 0;
    wxString m_resetFailNames;

    static std::unique_ptr<CPageMntXmlInfo> s_instance;
};
