// The settings whose chosen value differs from the device's: the changes the user
// has made and not yet written, in the order they were made.
#pragma once

#include <wx/string.h>

#include <functional>
#include <memory>
#include <vector>

class CCmdNameXmlInfo;

class CPendingChangeList {
public:
    static CPendingChangeList& GetInstance();
    ~CPendingChangeList();
    static void ResetInstance();
    // Drops a definition that is going away, without creating the list for it.
    static void Forget(const CCmdNameXmlInfo* definition);

    void AddChange(CCmdNameXmlInfo* definition);
    // Removes this definition, or else the first entry of the same command.
    void RemoveChange(const CCmdNameXmlInfo* definition);
    void ClearChanges();
    // Called after every change of a definition's value.
    void OnValueChanged(CCmdNameXmlInfo* definition);

    const std::vector<CCmdNameXmlInfo*>& GetEntries() const { return m_entries; }
    const std::vector<wxString>& GetNames() const { return m_names; }
    bool IsListed(const CCmdNameXmlInfo* definition) const;

    // 1: each change is also sent to the scanner at once, as a temporary setting.
    int GetSendAtOnce() const { return m_sendAtOnce; }
    void SetSendAtOnce(int mode) { m_sendAtOnce = mode; }
    // Settings that would cut the link if changed on their own; never sent at once.
    static bool IsLinkCommand(const wxString& commandName);

    // The history view repaints through this when it exists.
    void SetRepaintHandler(std::function<void()> handler) { m_repaint = std::move(handler); }

private:
    CPendingChangeList() { s_live = this; }

    void Repaint() const;
    void EraseAt(size_t index);

    std::vector<CCmdNameXmlInfo*> m_entries;
    std::vector<wxString> m_names;
    int m_sendAtOnce = 0;
    std::function<void()> m_repaint;

    static std::unique_ptr<CPendingChangeList> s_instance;
    // The list while it exists. Settings forget themselves here as they go, and at the
    // program's end they may go after the list's own holder has been destroyed; a
    // plain pointer stays readable until the very end.
    static CPendingChangeList* s_live;
};
