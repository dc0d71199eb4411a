// Stands in for the windows' control factory in the settings-model tests and records
// what the model asks of its controls. Controls are plain numbered tokens.
#pragma once

#include "model/ControlFactory.h"

#include <deque>
#include <map>
#include <vector>

class CRecordingFactory : public IControlFactory {
public:
    CControlBase* CreateControl(const wxString& keyword, CCmdNameXmlInfo*, CGroupNameXmlInfo*, void*,
                                const SControlRect&) override
    {
        ++created;
        keywords.push_back(keyword);
        tokens.push_back(0);
        CControlBase* control = reinterpret_cast<CControlBase*>(&tokens.back());
        heights[control] = keyword == "GROUPNAME" ? 20 : 30;
        return control;
    }
    void DestroyControl(CControlBase*) override { ++destroyed; }
    void RefreshControl(CControlBase*, int mode) override { refreshModes.push_back(mode); }
    void MoveControl(CControlBase* control, int32_t offsetY) override { positions[control] = offsetY; }
    int32_t GetControlHeight(const CControlBase* control) override { return heights[control]; }
    void ShowControl(CControlBase* control, bool show) override { shown[control] = show; }
    void SetManyGroups(CControlBase*, bool many) override { manyGroups.push_back(many); }
    void LayoutCurrentPage() override { ++layouts; }
    void FocusControl(CControlBase* control) override { focused.push_back(control); }

    std::deque<int> tokens;  // a deque keeps earlier tokens where they are
    int created = 0;
    int destroyed = 0;
    int layouts = 0;
    std::vector<wxString> keywords;
    std::vector<int> refreshModes;
    std::vector<const CControlBase*> focused;
    std::vector<bool> manyGroups;
    std::map<const CControlBase*, int32_t> heights;
    std::map<const CControlBase*, int32_t> positions;
    std::map<const CControlBase*, bool> shown;
};
