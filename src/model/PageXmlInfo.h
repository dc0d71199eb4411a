// A settings page: a name and its groups, read from "pageinfo.xml".
#pragma once

#include "GroupNameXmlInfo.h"

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <vector>

class wxXmlNode;

class CPageXmlInfo {
public:
    CPageXmlInfo() = default;
    virtual ~CPageXmlInfo() = default;
    CPageXmlInfo(const CPageXmlInfo&) = delete;
    CPageXmlInfo& operator=(const CPageXmlInfo&) = delete;

    // Reads a `Page` element; groups stay even when none of their settings did.
    void ReadFrom(const wxXmlNode& element);

    CCmdNameXmlInfo* FindCommand(const wxString& commandName) const;
    void ResetAllToDefaults();
    // True when some group kept at least one setting: only such a page gets a tab.
    bool HasCommands() const;

    const std::vector<std::unique_ptr<CGroupNameXmlInfo>>& GetGroups() const { return m_groups; }

    wxString Name;
    int32_t ResetFailCount = 0;
    wxString ResetFailNames;

private:
    std::vector<std::unique_ptr<CGroupNameXmlInfo>> m_groups;
};
