// A group of settings under one caption on a settings page.
#pragma once

#include "CmdNameXmlInfo.h"
#include "ControlFactory.h"

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <vector>

class CPageXmlInfo;
class wxXmlNode;

class CGroupNameXmlInfo {
public:
    CGroupNameXmlInfo() = default;
    virtual ~CGroupNameXmlInfo();
    CGroupNameXmlInfo(const CGroupNameXmlInfo&) = delete;
    CGroupNameXmlInfo& operator=(const CGroupNameXmlInfo&) = delete;

    // Places the caption at `y` and, when the group is open, its settings below it.
    virtual void MoveGroup(int32_t y);

    // Reads a `GroupName` element; only the settings the model supports are kept.
    void ReadFrom(const wxXmlNode& element);

    // Creates the caption and the setting controls once; false for a group without settings.
    bool CreateControls(void* parentWindow, const SControlRect& rect, bool manyGroupsOnPage);
    void SetExpanded(bool expanded);

    CCmdNameXmlInfo* FindCommand(const wxString& commandName) const;
    // Resets every setting; the ones that cannot be reset are counted and named.
    void ResetAllToDefaults();

    const std::vector<std::unique_ptr<CCmdNameXmlInfo>>& GetCommands() const { return m_commands; }

    wxString Caption;
    wxString langID;
    CControlBase* GroupControl = nullptr;  // owned; made and destroyed through the control factory
    int32_t Expanded = 1;
    int32_t ResetFailCount = 0;
    CPageXmlInfo* OwnerPage = nullptr;
    wxString ResetFailNames;

private:
    std::vector<std::unique_ptr<CCmdNameXmlInfo>> m_commands;
};

// Adds `name` to a list of names joined with "\r".
void AppendResetFailName(wxString& names, const wxString& name);
