#include "CreateObject.h"

#include "BatchDataControl.h"
#include "CommandCenterControl.h"
#include "CompareDefaultControl.h"
#include "CompareXmlControl.h"
#include "ControlBase.h"
#include "DataFormatControl.h"
#include "GroupNameControl.h"
#include "ImageControl.h"
#include "LicenseCodeControl.h"

std::unique_ptr<CCreateObject> CCreateObject::s_instance;

CCreateObject& CCreateObject::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CCreateObject());
    return *s_instance;
}

void CCreateObject::ResetInstance()
{
    s_instance.reset();
}

int CCreateObject::Register(const wxString& keyword, ControlCreator creator, ControlDestroyer destroyer)
{
    if (keyword.empty())
        return 0;
    if (m_entries.count(keyword) == 0)
        m_entries[keyword] = SControlEntry{keyword.Left(kMaxKeywordLength), std::move(creator), std::move(destroyer)};
    return 1;
}

const SControlEntry* CCreateObject::Find(const wxString& keyword) const
{
    const auto it = m_entries.find(keyword);
    return it == m_entries.end() ? nullptr : &it->second;
}

void DeleteControl(CControlBase* control)
{
    delete control;
}

void RegisterAllControls(CCreateObject& registry)
{
    RegisterControl<CGroupNameControl>(registry, "GROUPNAME");
    RegisterListControls(registry);
    RegisterEditControls(registry);
    RegisterButtonAndFileControls(registry);
    RegisterControl<CLicenseCodeControl>(registry, "LICENSECODE");
    RegisterControl<CCompareDefaultControl>(registry, "COMPAREDEFAULT");
    RegisterControl<CCompareXmlControl>(registry, "COMPAREXML");
    RegisterControl<CCommandCenterControl>(registry, "COMMANDCENTER");
    RegisterControl<CBatchDataControl>(registry, "BATCHDATADLG");
    RegisterControl<CDataFormatControl>(registry, "DATAFORMAT");
    RegisterControl<CImageControl>(registry, "IMAGE");
}
