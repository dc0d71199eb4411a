#include "ControlMnt.h"

#include "ControlBase.h"
#include "CreateObject.h"
#include "GroupNameControl.h"

#include <wx/window.h>

std::unique_ptr<CControlMnt> CControlMnt::s_instance;
std::unique_ptr<CWindowControlFactory> CWindowControlFactory::s_instance;

CControlMnt& CControlMnt::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CControlMnt());
    return *s_instance;
}

void CControlMnt::ResetInstance()
{
    s_instance.reset();
}

std::unique_ptr<CControlBase> CControlMnt::CreateControl(const wxString& keyword) const
{
    if (keyword.empty())
        return nullptr;
    std::unique_ptr<CControlBase> control;
    const SControlEntry* entry = CCreateObject::GetInstance().Find(keyword);
    if (entry && entry->creator)
        control.reset(entry->creator());
    if (!control)
        control = std::make_unique<CControlBase>();
    control->ControlType = keyword;
    return control;
}

CWindowControlFactory& CWindowControlFactory::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CWindowControlFactory());
    return *s_instance;
}

void CWindowControlFactory::ResetInstance()
{
    if (s_instance && GetControlFactory() == s_instance.get())
        SetControlFactory(nullptr);
    s_instance.reset();
}

CControlBase* CWindowControlFactory::CreateControl(const wxString& keyword, CCmdNameXmlInfo* definition,
                                                   CGroupNameXmlInfo* group, void* parentWindow,
                                                   const SControlRect& rect)
{
    std::unique_ptr<CControlBase> control = CControlMnt::GetInstance().CreateControl(keyword);
    if (!control)
        return nullptr;
    control->ParentWnd = static_cast<wxWindow*>(parentWindow);
    control->Command = definition;
    control->Group = group;
    control->Rect = rect;
    control->OffsetY = 0;
    // A failing Create is not undone: the row keeps whatever widgets it made.
    control->Create();
    control->FitRowToWidgets();
    control->SetupTooltips();
    return control.release();
}

void CWindowControlFactory::DestroyControl(CControlBase* control)
{
    if (!control)
        return;
    const SControlEntry* entry = CCreateObject::GetInstance().Find(control->ControlType);
    if (entry && entry->destroyer)
        entry->destroyer(control);
    else
        delete control;
}

void CWindowControlFactory::RefreshControl(CControlBase* control, int mode)
{
    if (control)
        control->Refresh(mode);
}

void CWindowControlFactory::MoveControl(CControlBase* control, int32_t offsetY)
{
    if (!control)
        return;
    control->OffsetY = offsetY;
    control->Layout();
}

int32_t CWindowControlFactory::GetControlHeight(const CControlBase* control)
{
    return control ? control->Height : 0;
}

void CWindowControlFactory::ShowControl(CControlBase* control, bool show)
{
    if (control)
        control->Show(show);
}

void CWindowControlFactory::SetManyGroups(CControlBase* groupControl, bool manyGroups)
{
    if (auto* caption = dynamic_cast<CGroupNameControl*>(groupControl))
        caption->SetManyGroups(manyGroups);
}

void CWindowControlFactory::LayoutCurrentPage()
{
    if (m_layoutPage)
        m_layoutPage();
}

void CWindowControlFactory::FocusControl(CControlBase* control)
{
    if (!control)
        return;
    if (m_bringPageForward)
        m_bringPageForward(*control);
    control->SetFocus();
}

void InstallWindowControlFactory()
{
    RegisterAllControls(CCreateObject::GetInstance());
    SetControlFactory(&CWindowControlFactory::GetInstance());
}
