// A model's command file.
#include "FuzzHarness.h"
#include "model/DeviceCmdNameMntXmlInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("Config/model.xml", data, size);
    CDeviceCmdNameMntXmlInfo::GetInstance().Load("model.xml");
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    return 0;
}
