// The catalogue of scanner models.
#include "FuzzHarness.h"
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("Config/devicesinfo.xml", data, size);
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    if (catalogue.Load())
        catalogue.MatchDevice("HBS-HS620");
    CDeviceMnt::ResetInstance();
    return 0;
}
