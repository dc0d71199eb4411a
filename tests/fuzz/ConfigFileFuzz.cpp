// A configuration file, opened onto the pages and prepared for sending.
#include "FuzzHarness.h"
#include "config/SaveCfg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const wxString path = WriteFuzzFile("input.xml", data, size);
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.SetDeviceCommandList("232BAD,232PAR,INTERF,DFMSET");
    engine.OpenConfiguration(path, false);
    engine.LoadFileForSending(path);
    CSaveCfg::ResetInstance();
    return 0;
}
