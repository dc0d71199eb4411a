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

namespace {

// Keywords whose control classes are not written yet get a plain row of the height
// their class will have, so pages keep their layout meanwhile. They are registered
// after the real classes, so a class that exists always wins over its placeholder.
void RegisterRowPlaceholders(CCreateObject& registry)
{
    static const struct {
        const char* keyword;
        int32_t height;
    } kPlaceholders[] = {
        {"BUTTON", 30},        {"BUTTONGETTEXT", 30}, {"CODEID", 200},
        {"COMBOBOXCUSTOM", 60},
        {"DATATIME", 20},      {"DEFCMD", 30},
        {"EDITCOMBOBOX", 30},  {"HEXEDIT", 30},       {"HEXEDITKEYBOARD", 30}, {"RANGEEDIT", 30},
        {"EDIT_READONLY", 30}, {"FILESELECT", 30},    {"BUTTONGROUP", 100},  {"RADIOGROUP", 100},
        {"MNUCMD", 30},        {"MULFILESELECT", 100},
        {"MULVALUE", 100},     {"RADIO", 32},         {"RADIO#", 32},
    };
    for (const auto& placeholder : kPlaceholders) {
        const int32_t height = placeholder.height;
        registry.Register(
            placeholder.keyword,
            [height] {
                auto* control = new CControlBase();
                control->Height = height;
                return control;
            },
            DeleteControl);
    }
}

}  // namespace

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
    RegisterRowPlaceholders(registry);
}
