#include "CreateObject.h"

#include "ComboBoxControl.h"
#include "ControlBase.h"
#include "EditControl.h"
#include "GroupNameControl.h"

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

namespace {

void DeleteControl(CControlBase* control)
{
    delete control;
}

template <typename TControl>
void RegisterControl(CCreateObject& registry, const wxString& keyword)
{
    registry.Register(keyword, [] { return static_cast<CControlBase*>(new TControl()); }, DeleteControl);
}

// Keywords whose control classes are not written yet get a plain row of the height
// their class will have, so pages keep their layout meanwhile. Each value control
// that lands replaces its line here with a RegisterControl of its class.
void RegisterRowPlaceholders(CCreateObject& registry)
{
    static const struct {
        const char* keyword;
        int32_t height;
    } kPlaceholders[] = {
        {"BATCHDATADLG", 100}, {"BUTTON", 30},        {"BUTTONGETTEXT", 30}, {"CODEID", 200},
        {"COMBOBOXCUSTOM", 60}, {"COMMANDCENTER", 100}, {"COMPAREDEFAULT", 100}, {"COMPAREXML", 100},
        {"CREATEBARCODE", 100}, {"DATAFORMAT", 240},  {"DATATIME", 20},      {"DEFCMD", 30},
        {"EDITCOMBOBOX", 30},  {"HEXEDIT", 30},       {"HEXEDITKEYBOARD", 30}, {"RANGEEDIT", 30},
        {"EDIT_READONLY", 30}, {"FILESELECT", 30},    {"BUTTONGROUP", 100},  {"RADIOGROUP", 100},
        {"IMAGE", 100},        {"LICENSECODE", 100},  {"MNUCMD", 30},        {"MULFILESELECT", 100},
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
    RegisterControl<CComboBoxControl>(registry, "COMBOBOX");
    RegisterControl<CEditControl>(registry, "EDIT");
    RegisterControl<CGroupNameControl>(registry, "GROUPNAME");
    RegisterRowPlaceholders(registry);
}
