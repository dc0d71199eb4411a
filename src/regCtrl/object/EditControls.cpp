// Registration of the edit controls: plain, read-only, range, hexadecimal, date.
#include "CreateObject.h"
#include "DateTimeControl.h"
#include "EdidHexControl.h"
#include "EdidHexKeyboardControl.h"
#include "EditControl.h"
#include "EditRangeControl.h"
#include "EditReadOnlyControl.h"

void RegisterEditControls(CCreateObject& registry)
{
    RegisterControl<CEditControl>(registry, "EDIT");
    RegisterControl<CEditReadOnlyControl>(registry, "EDIT_READONLY");
    RegisterControl<CEditRangeControl>(registry, "RANGEEDIT");
    RegisterControl<CEdidHexControl>(registry, "HEXEDIT");
    RegisterControl<CEdidHexKeyboardControl>(registry, "HEXEDITKEYBOARD");
    RegisterControl<CDateTimeControl>(registry, "DATATIME");
}
