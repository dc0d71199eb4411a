// The tab tree file, over the shipped pages of the HI880 model.
#include "FuzzHarness.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "model/TabNodeXmlInfo.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool pagesLoaded = (CopyShippedConfig("HI880.xml"), CopyShippedConfig("pageinfo.xml"),
                                     CDeviceCmdNameMntXmlInfo::GetInstance().Load("HI880.xml") &&
                                         CPageMntXmlInfo::GetInstance().Load());
    if (!pagesLoaded)
        std::abort();
    WriteFuzzFile("Config/maincfg.xml", data, size);
    CTabNodeXmlInfo root;
    if (root.Load())
        root.FindPage("Interface");
    return 0;
}
