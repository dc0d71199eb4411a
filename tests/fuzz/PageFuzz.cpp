// The pages file, read against the command map of the shipped HI880 model.
#include "FuzzHarness.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool mapLoaded = (CopyShippedConfig("HI880.xml"), CDeviceCmdNameMntXmlInfo::GetInstance().Load("HI880.xml"));
    if (!mapLoaded)
        std::abort();
    WriteFuzzFile("Config/pageinfo.xml", data, size);
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (pages.Load())
        pages.ResetAllToDefaults();
    CPageMntXmlInfo::ResetInstance();
    return 0;
}
