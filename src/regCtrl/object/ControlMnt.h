// Making controls: the factory front over the registry, and the window factory that
// the settings model reaches its controls through.
#pragma once

#include "model/ControlFactory.h"

#include <wx/string.h>

#include <functional>
#include <memory>

class CControlBase;

class CControlMnt {
public:
    static CControlMnt& GetInstance();
    static void ResetInstance();

    // The registered control of `keyword`, or a plain row when the keyword is unknown
    // or its creator gives none; null only for an empty keyword.
    std::unique_ptr<CControlBase> CreateControl(const wxString& keyword) const;

private:
    CControlMnt() = default;

    static std::unique_ptr<CControlMnt> s_instance;
};

// The settings model's control factory on screen. The page shown at the moment
// installs the two handlers it needs from its controls.
class CWindowControlFactory : public IControlFactory {
public:
    static CWindowControlFactory& GetInstance();
    // Also uninstalls it from the model when it is the installed factory.
    static void ResetInstance();

    // Run when a group opened or closed: the current page stacks its groups again.
    void SetLayoutPageHandler(std::function<void()> handler) { m_layoutPage = std::move(handler); }
    // Run before a control takes the focus: its page comes to the front.
    void SetBringPageForwardHandler(std::function<void(CControlBase&)> handler)
    {
        m_bringPageForward = std::move(handler);
    }

    CControlBase* CreateControl(const wxString& keyword, CCmdNameXmlInfo* definition, CGroupNameXmlInfo* group,
                                void* parentWindow, const SControlRect& rect) override;
    void DestroyControl(CControlBase* control) override;
    void RefreshControl(CControlBase* control, int mode) override;
    void MoveControl(CControlBase* control, int32_t offsetY) override;
    int32_t GetControlHeight(const CControlBase* control) override;
    void ShowControl(CControlBase* control, bool show) override;
    void SetManyGroups(CControlBase* groupControl, bool manyGroups) override;
    void LayoutCurrentPage() override;
    void FocusControl(CControlBase* control) override;

private:
    CWindowControlFactory() = default;

    std::function<void()> m_layoutPage;
    std::function<void(CControlBase&)> m_bringPageForward;

    static std::unique_ptr<CWindowControlFactory> s_instance;
};

// Registers every control kind and makes the window factory the model's. Called
// once at program start.
void InstallWindowControlFactory();
