#include "EditReadOnlyControl.h"

#include <wx/textctrl.h>

long CEditReadOnlyControl::EditStyle() const
{
    return wxTE_READONLY | wxTE_PROCESS_ENTER;
}
