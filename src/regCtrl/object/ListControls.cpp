// Registration of the list controls: drop-downs, radio and button groups, toggles.
#include "ComboBoxControl.h"
#include "ComboBoxCustomControl.h"
#include "CreateObject.h"
#include "EditComboBoxControl.h"
#include "GroupButtonControl.h"
#include "GroupRadioControl.h"
#include "ToggleButtonControl.h"

void RegisterListControls(CCreateObject& registry)
{
    RegisterControl<CComboBoxControl>(registry, "COMBOBOX");
    RegisterControl<CEditComboBoxControl>(registry, "EDITCOMBOBOX");
    RegisterControl<CComboBoxCustomControl>(registry, "COMBOBOXCUSTOM");
    RegisterControl<CGroupRadioControl>(registry, "RADIOGROUP");
    RegisterControl<CGroupButtonControl>(registry, "BUTTONGROUP");
    RegisterControl<CToggleButtonControl>(registry, "RADIO");
    RegisterControl<CToggleButtonControl>(registry, "RADIO#");
}
