// A range or value list as a scanner reports it: "a-b", "a-b_list", "1-3|7", "ID_X:1|...".
#include "FuzzHarness.h"
#include "model/DeviceCmdNameMntXmlInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzProgramDirectory();
    const wxString text = FuzzText(data, size);
    wxString first, last, display;
    CDeviceCmdNameMntXmlInfo::ExpandList(text, first, last, display);
    CDeviceCmdNameMntXmlInfo::GetInstance().SetRange("232BAD", text);
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    return 0;
}
