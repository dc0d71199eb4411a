// How command definitions reach their on-screen controls without the core knowing
// any window: the windows library installs a factory at start-up, tests install a
// recorder, and without one a definition simply has no control.
#pragma once

#include <wx/string.h>

#include <cstdint>

class CCmdNameXmlInfo;
class CControlBase;
class CGroupNameXmlInfo;

struct SControlRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class IControlFactory {
public:
    virtual ~IControlFactory() = default;
    // A new control for `keyword` inside `parentWindow`, or null. `definition` is the
    // setting it edits (null for a group caption), `group` the group that shows it.
    virtual CControlBase* CreateControl(const wxString& keyword, CCmdNameXmlInfo* definition, CGroupNameXmlInfo* group,
                                        void* parentWindow, const SControlRect& rect) = 0;
    virtual void DestroyControl(CControlBase* control) = 0;
    // Mode 0: after a device read, 1: after a reset to default, 2: after loading a file.
    virtual void RefreshControl(CControlBase* control, int mode) = 0;
    // Places the control's row at `offsetY` and lays it out again.
    virtual void MoveControl(CControlBase* control, int32_t offsetY) = 0;
    virtual int32_t GetControlHeight(const CControlBase* control) = 0;
    virtual void ShowControl(CControlBase* control, bool show) = 0;
    // Tells a group caption whether its page has more than one group.
    virtual void SetManyGroups(CControlBase* groupControl, bool manyGroups) = 0;
    // The page on screen arranges its groups again (after one was opened or closed).
    virtual void LayoutCurrentPage() = 0;
    // Gives the control the keyboard focus, bringing its page to the front.
    virtual void FocusControl(CControlBase* control) = 0;
};

void SetControlFactory(IControlFactory* factory);
IControlFactory* GetControlFactory();
