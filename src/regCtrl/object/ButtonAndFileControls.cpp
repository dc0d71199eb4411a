// Registration of the buttons, the code identifier list, file choices and value lists.
#include "ButtonControl.h"
#include "ButtonGetTextControl.h"
#include "CodeIDControl.h"
#include "CreateBarCodeControl.h"
#include "CreateObject.h"
#include "DefaultButtonControl.h"
#include "FileSelectControl.h"
#include "MnuCmdButtonControl.h"
#include "MulFileSelectControl.h"
#include "MulValueControl.h"

void RegisterButtonAndFileControls(CCreateObject& registry)
{
    RegisterControl<CDefaultButtonControl>(registry, "DEFCMD");
    RegisterControl<CButtonControl>(registry, "BUTTON");
    RegisterControl<CButtonGetTextControl>(registry, "BUTTONGETTEXT");
    RegisterControl<CMnuCmdButtonControl>(registry, "MNUCMD");
    RegisterControl<CCodeIDControl>(registry, "CODEID");
    RegisterControl<CFileSelectControl>(registry, "FILESELECT");
    RegisterControl<CMulFileSelectControl>(registry, "MULFILESELECT");
    RegisterControl<CMulValueControl>(registry, "MULVALUE");
    RegisterControl<CCreateBarCodeControl>(registry, "CREATEBARCODE");
}
