// The registry of control kinds: control-type keyword -> how to make and delete one.
// Filled once at start-up, before any page is built.
#pragma once

#include <wx/string.h>

#include <functional>
#include <map>
#include <memory>

class CControlBase;

using ControlCreator = std::function<CControlBase*()>;
using ControlDestroyer = std::function<void(CControlBase*)>;

struct SControlEntry {
    wxString keyword;  // at most kMaxKeywordLength characters
    ControlCreator creator;
    ControlDestroyer destroyer;
};

class CCreateObject {
public:
    static constexpr size_t kMaxKeywordLength = 259;

    static CCreateObject& GetInstance();
    static void ResetInstance();

    // Adds an entry unless the keyword is already there: the first registration wins.
    // 1, or 0 for an empty keyword.
    int Register(const wxString& keyword, ControlCreator creator, ControlDestroyer destroyer);
    // The entry of `keyword` (exact, case-sensitive), or null.
    const SControlEntry* Find(const wxString& keyword) const;

private:
    CCreateObject() = default;

    std::map<wxString, SControlEntry> m_entries;

    static std::unique_ptr<CCreateObject> s_instance;
};

// Registers every control-type keyword the page files may use.
void RegisterAllControls(CCreateObject& registry);

// The value controls, by family; each family's file registers its own classes.
void RegisterListControls(CCreateObject& registry);
void RegisterEditControls(CCreateObject& registry);
void RegisterButtonAndFileControls(CCreateObject& registry);

void DeleteControl(CControlBase* control);

// Registers `TControl` under `keyword`, made with new and deleted through its
// virtual destructor.
template <typename TControl>
void RegisterControl(CCreateObject& registry, const wxString& keyword)
{
    registry.Register(keyword, [] { return static_cast<CControlBase*>(new TControl()); }, DeleteControl);
}
