// The catalogue of scanner models.
#include "device/DeviceInfo.h"
#include "device/DeviceMnt.h"
#include "FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("Config/devicesinfo.xml", data, size);
    CDeviceMnt& catalogue = CDeviceMnt::GetInstance();
    if (catalogue.Load())
        catalogue.MatchDevice("HBS-HS620");
    CDeviceMnt::ResetInstance();
    return 0;
}
