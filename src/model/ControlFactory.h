// How command definitions reach their on-screen controls without the core knowing
// any window: the windows library installs a factory at start-up, tests install a
// recorder, and without one a definition simply has no control.
#pragma once

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
    // A new control of the definition's control type inside `parentWindow`, or null.
    virtual CControlBase* CreateControl(CCmdNameXmlInfo& definition, void* parentWindow, CGroupNameXmlInfo* group,
                                        const SControlRect& rect) = 0;
    virtual void DestroyControl(CControlBase* control) = 0;
    // Mode 0: after a device read, 1: after a reset to default, 2: after loading a file.
    virtual void RefreshControl(CControlBase* control, int mode) = 0;
    virtual void MoveControl(CControlBase* control, int32_t offsetY) = 0;
};

void SetControlFactory(IControlFactory* factory);
IControlFactory* GetControlFactory();
